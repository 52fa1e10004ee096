<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>VemoGPS</name>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>基线文件路径:</source>
        <translation>Baseline file folder:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>待选基线文件</source>
        <translation>Available baseline files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>已选基线文件</source>
        <translation>Chosen baseline files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>选定─〉</source>
        <translation>Add -&gt;</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>全选─〉</source>
        <translation>Add all -&gt;</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>删除已选</source>
        <translation>Remove</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>选择基线文件路径</source>
        <translation>Choose the folder of the baseline files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>基线文件格式转换</source>
        <translation>Convert Baseline Files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>基线解算软件:</source>
        <translation>Baseline processing software:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>文件类型:</source>
        <translation>File type:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>合并文件</source>
        <translation>Merge files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>转换后同步基线文件:</source>
        <translation>Converted synchronous baseline file:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>生成独立基线文件</source>
        <translation>Form Independent Baseline Files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>独立基线选取方式</source>
        <translation>Choice of independent baselines</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>顺序连线型</source>
        <translation>Chain</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>射线型</source>
        <translation>Radial</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>全选</source>
        <translation>All</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>随机选择</source>
        <translation>Random selection</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/BaselineDialogs.cpp"/>
        <source>选取同步环基线文件</source>
        <translation>Choose Synchronous Loop Baseline Files</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/EntryDialog.cpp"/>
        <source>增加行</source>
        <translation>Add Row</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/EntryDialog.cpp"/>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/EntryDialog.cpp"/>
        <source>文件%s的第%s行不能读入表格,确认后这些行将被删除。是否继续?</source>
        <translation>File %s: line(s) %s cannot be read into the table and will be deleted when you confirm. Continue?</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/EntryDialog.cpp"/>
        <source>表格中的数据已修改,是否保存?

是: 保存修改并关闭
否: 放弃修改并关闭
取消: 继续编辑</source>
        <translation>The data in the table have been changed. Save them?

Yes: save the changes and close
No: discard the changes and close
Cancel: go on editing</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source> 请输入一个数。</source>
        <translation> Please enter a number.</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>新建工程</source>
        <translation>New project</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>工程参数设置</source>
        <translation>Project Settings</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>工程名:</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>选择工程路径</source>
        <translation>Choose the project folder</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>路  径:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>网的等级:</source>
        <translation>Network grade:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>定义坐标系统</source>
        <translation>Define coordinate systems</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>坐标系统:</source>
        <translation>Coordinate system:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>基线解类型:</source>
        <translation>Baseline solution type:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>仪器固定误差(mm):</source>
        <translation>Instrument fixed error (mm):</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>仪器比例误差(ppm):</source>
        <translation>Instrument proportional error (ppm):</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>基线方差因子:</source>
        <translation>Baseline variance factor:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>中央子午线(dms):</source>
        <translation>Central meridian (dms):</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>测区平均纬度(dms):</source>
        <translation>Mean latitude of the survey area (dms):</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>X坐标加常数(km):</source>
        <translation>X coordinate constant (km):</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>Y坐标加常数(km):</source>
        <translation>Y coordinate constant (km):</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>独立基线条数:</source>
        <translation>Number of independent baselines:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>投影类型:</source>
        <translation>Projection:</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>改造基线解方差阵</source>
        <translation>Modify baseline covariance matrices</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>用验前单位权中误差(1cm)</source>
        <translation>Use a priori standard error of unit weight (1 cm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>独立基线条数: 请输入一个整数。</source>
        <translation>Number of independent baselines: please enter an integer.</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>请输入工程名和路径!</source>
        <translation>Please enter the project name and folder!</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>工程名不能含有&apos;/&apos;!</source>
        <translation>The project name must not contain &apos;/&apos;!</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>当前没有工程，设置未能保存!</source>
        <translation>No project is open; the settings were not saved!</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>自定义精度指标</source>
        <translation>Custom Precision Criteria</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>固定误差(mm)</source>
        <translation>Fixed error (mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>比例误差(ppm)</source>
        <translation>Proportional error (ppm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>重复基线差系数</source>
        <translation>Repeated baseline difference factor</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>同步环闭合差系数</source>
        <translation>Synchronous loop misclosure factor</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>异步环闭合差系数</source>
        <translation>Asynchronous loop misclosure factor</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>基线向量改正数系数</source>
        <translation>Baseline vector residual factor</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>向量改正数系数(无约束－约束)</source>
        <translation>Vector residual factor (free - constrained)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>基线方向中误差(&quot;)</source>
        <translation>Baseline direction standard error (&quot;)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>相邻点坐标差中误差(mm)</source>
        <translation>Standard error of adjacent point coordinate differences (mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>最弱边相对中误差(1/N)</source>
        <translation>Relative standard error of the weakest side (1/N)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>约束点间相对中误差(1/N)</source>
        <translation>Relative standard error between constrained points (1/N)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>基线水平分量中误差(mm)</source>
        <translation>Baseline horizontal component standard error (mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>基线垂直分量中误差(mm)</source>
        <translation>Baseline vertical component standard error (mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>环边数限值</source>
        <translation>Maximum sides of a loop</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>环边数限值: 请输入一个整数。</source>
        <translation>Maximum sides of a loop: please enter an integer.</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>坐标系统</source>
        <translation>Coordinate system</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>椭球长半轴</source>
        <translation>Semi-major axis (m)</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>椭球扁率分母</source>
        <translation>Inverse flattening</translation>
    </message>
    <message>
        <location filename="../app/desktop/dialogs/ProjectDialog.cpp"/>
        <source>坐标系统%s的椭球长半轴须为正数，扁率分母须大于1!</source>
        <translation>Coordinate system %s: the semi-major axis of the ellipsoid must be positive and the inverse flattening greater than 1!</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>移动行</source>
        <translation>Move rows</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>第%d行是只读的,不能修改!</source>
        <translation>Row %d is read-only and cannot be changed!</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>粘贴的数据有%d列,从当前列起表格只有%d列,多出的%d列将被舍去。是否继续粘贴?</source>
        <translation>The pasted data have %d columns, but from the current column the table has only %d; the %d extra columns will be dropped. Paste anyway?</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>插入行</source>
        <translation>Insert rows</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>删除行</source>
        <translation>Delete rows</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>排序</source>
        <translation>Sort</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>剪切(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>粘贴(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>清除(&amp;E)</source>
        <translation>Cl&amp;ear</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>插入行(&amp;I)</source>
        <translation>&amp;Insert Rows</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>删除行(&amp;D)</source>
        <translation>&amp;Delete Rows</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>撤销(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>重做(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source>排序(&amp;S)</source>
        <translation>&amp;Sort</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source> 升序</source>
        <translation> ascending</translation>
    </message>
    <message>
        <location filename="../app/desktop/grid/GridCtrl.cpp"/>
        <source> 降序</source>
        <translation> descending</translation>
    </message>
</context>
</TS>
