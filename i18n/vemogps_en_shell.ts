<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>VemoGPS</name>
    <message>
        <location filename="../app/cli/CommandLine.cpp"/>
        <source>命令已被中断(Ctrl-C)，未完成的结果没有写入文件!</source>
        <translation>The command was interrupted (Ctrl-C); unfinished results were not written to files!</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>不能删除结果文件%s(%s)，该文件不是本次计算的结果!</source>
        <translation>Cannot delete the result file %s (%s); the file is not a result of this computation!</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>内存不足!</source>
        <translation>Out of memory!</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>命令因意外错误而中止: %s</source>
        <translation>The command was aborted by an unexpected error: %s</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>命令因意外错误而中止!</source>
        <translation>The command was aborted by an unexpected error!</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>%s所需的文件%s不存在!</source>
        <translation>%s needs the file %s, which does not exist!</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>
请先用%s输入。</source>
        <translation>
Please enter it first with %s.</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>
请先执行%s。</source>
        <translation>
Please run %s first.</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandFlow.cpp"/>
        <source>%s所需的文件%s是在文件%s修改之前产生的，不是现有数据的计算结果!
请重新执行%s。</source>
        <translation>%s needs the file %s, which was made before the file %s was changed and is not a result of the present data!
Please run %s again.</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>新建工程</source>
        <translation>New project</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>打开工程</source>
        <translation>Open project</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>新建(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>打开(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>另存为(&amp;A)...</source>
        <translation>Save &amp;as...</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>打印(&amp;P)...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>打印预览(&amp;V)</source>
        <translation>Print pre&amp;view</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>打印设置(&amp;R)...</source>
        <translation>P&amp;rint setup...</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输出PDF报告</source>
        <translation>Export PDF report</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>PDF文件(*.pdf)</source>
        <translation>PDF files(*.pdf)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>最近文件</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>三维已知坐标</source>
        <translation>3D known coordinates</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>二维已知坐标</source>
        <translation>2D known coordinates</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>一维高程点</source>
        <translation>Height points</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输入地面边长</source>
        <translation>Enter ground distances</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输入地面方位</source>
        <translation>Enter ground azimuths</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>读取同步基线数据</source>
        <translation>Read synchronous baseline data</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>形成独立基线文件</source>
        <translation>Form independent baseline file</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>三维向量网平差</source>
        <translation>3D vector network adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>用独立的GPS三维基线向量进行平差
GPS三维向量网</source>
        <translation>Adjust with the independent GPS 3D baseline vectors
GPS 3D vector network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>二维网联合/约束平差</source>
        <translation>2D combined/constrained adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>椭球面三维平差</source>
        <translation>Ellipsoidal 3D adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>工程网(一点一方向)平差</source>
        <translation>Engineering network (one point, one direction) adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>GPS高程拟合</source>
        <translation>GPS height fitting</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>GPS三维秩亏自由网</source>
        <translation>GPS 3D free network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>稳定性分析</source>
        <translation>Stability analysis</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>定义坐标系统</source>
        <translation>Define coordinate systems</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>三维向量网</source>
        <translation>3D vector network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>二维联合平差</source>
        <translation>2D combined adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>一维高程结果</source>
        <translation>Height results</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>三维椭球面平差</source>
        <translation>3D ellipsoidal adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>三维基线向量</source>
        <translation>3D baseline vectors</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>二维基线向量</source>
        <translation>2D baseline vectors</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>环闭合差</source>
        <translation>Loop misclosures</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>同步环闭合差计算</source>
        <translation>Synchronous loop misclosures</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>异步环闭合差计算</source>
        <translation>Asynchronous loop misclosures</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>重复基线差</source>
        <translation>Repeated baseline differences</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>网图显绘[WGS84]</source>
        <translation>Network map [WGS84]</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>网图显绘[地方坐标]</source>
        <translation>Network map [local coordinates]</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输出ACAD_DXF网图</source>
        <translation>Export AutoCAD DXF network map</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>坐标文件(*.GPS3dXYHEFT)</source>
        <translation>Coordinate files (*.GPS3dXYHEFT)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>基线向量文件(*.GPS3dVector)</source>
        <translation>Baseline vector files (*.GPS3dVector)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>DXF文件(*.dxf)</source>
        <translation>DXF files (*.dxf)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输出GeoJSON网图</source>
        <translation>Export GeoJSON network map</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输出KML网图</source>
        <translation>Export KML network map</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>导入DynaML网</source>
        <translation>Import DynaML network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>DynaML文件(*.xml)</source>
        <translation>DynaML files(*.xml)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>导入DNA网</source>
        <translation>Import DNA network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>DNA测站文件(*.stn)</source>
        <translation>DNA station files(*.stn)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>DNA观测文件(*.msr)</source>
        <translation>DNA measurement files(*.msr)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>导入gama-local网</source>
        <translation>Import gama-local network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>gama-local文件(*.xml)</source>
        <translation>gama-local files(*.xml)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>输出gama-local网</source>
        <translation>Export gama-local network</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>贯通误差影响值计算</source>
        <translation>Breakthrough error estimation</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>GPS网设计</source>
        <translation>GPS network design</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>GPS设计坐标文件(*.xyz)</source>
        <translation>GPS design coordinate files (*.xyz)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>GPS设计网图连线文件(*.line)</source>
        <translation>GPS design network line files (*.line)</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>XYZ-&gt;BLH</source>
        <translation>XYZ-&gt;BLH</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>BLH-&gt;XYZ</source>
        <translation>BLH-&gt;XYZ</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>BL -&gt;XY</source>
        <translation>BL -&gt;XY</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>XY -&gt;BL</source>
        <translation>XY -&gt;BL</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>坐标换带与高程面转换计算</source>
        <translation>Zone change and height surface conversion</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>三参数相似变换</source>
        <translation>3-parameter similarity transformation</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>四参数相似变换</source>
        <translation>4-parameter similarity transformation</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>六参数相似变换</source>
        <translation>6-parameter similarity transformation</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>XYZ-&gt;XYZ</source>
        <translation>XYZ-&gt;XYZ</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>二维转换参数</source>
        <translation>2D transformation parameters</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>一维转换参数</source>
        <translation>Height transformation parameters</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>新建窗口(&amp;N)</source>
        <translation>&amp;New window</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>层叠(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>平铺(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>排列图标(&amp;A)</source>
        <translation>&amp;Arrange icons</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>帮助主题(&amp;H)</source>
        <translation>&amp;Help topics</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>关于VemoGPS(&amp;A)</source>
        <translation>&amp;About VemoGPS</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>数据输入(&amp;D)</source>
        <translation>&amp;Data entry</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>平差计算(&amp;A)</source>
        <translation>&amp;Adjustment</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>结果显示(&amp;R)</source>
        <translation>&amp;Results</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>数据检核(&amp;C)</source>
        <translation>Data &amp;checks</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>坐标转换(&amp;Z)</source>
        <translation>C&amp;oordinate conversion</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>窗口(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <location filename="../app/commands/CommandTable.cpp"/>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location filename="../app/commands/ConversionCommands.cpp"/>
        <source>点%s位于椭球旋转轴上(X=Y=0)，无法计算大地坐标，已跳过!</source>
        <translation>Point %s lies on the ellipsoid&apos;s axis of rotation (X=Y=0); its geodetic coordinates cannot be computed and it was skipped!</translation>
    </message>
    <message>
        <location filename="../app/commands/ConversionCommands.cpp"/>
        <source>点%s的坐标无法转换，已跳过!</source>
        <translation>The coordinates of point %s cannot be converted; the point was skipped!</translation>
    </message>
    <message>
        <location filename="../app/commands/ConversionCommands.cpp"/>
        <source>打开文件%s出错!</source>
        <translation>Error opening file %s!</translation>
    </message>
    <message>
        <location filename="../app/commands/ConversionCommands.cpp"/>
        <source>第%d行的点名超过%d个字符，该行未转换!</source>
        <translation>The point name on line %d is longer than %d characters; the line was not converted!</translation>
    </message>
    <message>
        <location filename="../app/commands/DataCommands.cpp"/>
        <source>读取标准输入出错!</source>
        <translation>Error reading standard input!</translation>
    </message>
    <message>
        <location filename="../app/commands/DataCommands.cpp"/>
        <source>没有输入任何行,确认后文件%s中的数据将全部删除。是否继续?</source>
        <translation>No rows were entered; on confirmation all data in the file %s will be deleted. Continue?</translation>
    </message>
    <message>
        <location filename="../app/commands/DataCommands.cpp"/>
        <source>文件%s的第%s行不能读入表格,确认后这些行将被删除。是否继续?</source>
        <translation>File %s: line(s) %s cannot be read into the table and will be deleted when you confirm. Continue?</translation>
    </message>
    <message>
        <location filename="../app/commands/ExchangeCommands.cpp"/>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <location filename="../app/commands/FreeNetworkCommands.cpp"/>
        <source>网有%d个点，全部点的协因数阵文件共约%.1f GB，超过%.0f GB，不予计算。请用--points指定需要协因数的点(稳定性分析的点)，或用--full-cofactors写出全部点的协因数阵!</source>
        <translation>The network has %d points; the cofactor files of all points would take about %.1f GB, more than %.0f GB, so nothing is computed. Name the points that need cofactors (the points of the stability analysis) with --points, or write the cofactors of all points with --full-cofactors!</translation>
    </message>
    <message>
        <location filename="../app/commands/FreeNetworkCommands.cpp"/>
        <source>%d个点的协因数阵文件共约%.1f GB，计算需要内存约%.1f GB，超过本机可用内存%.1f GB，不予计算。请用--points指定较少的点!</source>
        <translation>The cofactor files of %d points take about %.1f GB and the computation needs about %.1f GB of memory, more than the %.1f GB available on this machine, so nothing is computed. Name fewer points with --points!</translation>
    </message>
    <message>
        <location filename="../app/commands/FreeNetworkCommands.cpp"/>
        <source>%d个点的协因数阵文件共约%.1f GB，计算需要内存约%.1f GB。</source>
        <translation>The cofactor files of %d points take about %.1f GB; the computation needs about %.1f GB of memory.</translation>
    </message>
    <message>
        <location filename="../app/commands/FreeNetworkCommands.cpp"/>
        <source>点%s不在网中，不产生秩亏自由网的输入文件!</source>
        <translation>Point %s is not in the network; the input files of the free network are not written!</translation>
    </message>
    <message>
        <location filename="../app/commands/ImportCommands.cpp"/>
        <source>基线解算软件%s没有读取程序，没有读取任何基线文件。</source>
        <translation>The baseline processing software %s has no reader; no baseline file was read.</translation>
    </message>
    <message>
        <location filename="../app/commands/ImportCommands.cpp"/>
        <source>读取完毕: 基线文件%d个，基线%d条。</source>
        <translation>Reading finished: %d baseline files, %d baselines.</translation>
    </message>
    <message>
        <location filename="../app/commands/ImportCommands.cpp"/>
        <source>
其中%d个文件没有读出基线:</source>
        <translation>
No baselines were read from %d of the files:</translation>
    </message>
    <message>
        <location filename="../app/commands/ProjectCommands.cpp"/>
        <source>当前没有工程，设置未能保存!</source>
        <translation>No project is open; the settings were not saved!</translation>
    </message>
    <message>
        <location filename="../app/commands/ProjectCommands.cpp"/>
        <source>工程参数设置</source>
        <translation>Project Settings</translation>
    </message>
    <message>
        <location filename="../app/commands/ProjectCommands.cpp"/>
        <source>预定义的坐标系统&apos;%s&apos;不能删除!</source>
        <translation>The predefined coordinate system &apos;%s&apos; cannot be removed!</translation>
    </message>
    <message>
        <location filename="../app/commands/ProjectCommands.cpp"/>
        <source>预定义的坐标系统&apos;%s&apos;不能修改!</source>
        <translation>The predefined coordinate system &apos;%s&apos; cannot be changed!</translation>
    </message>
    <message>
        <location filename="../app/commands/StatisticsCommands.cpp"/>
        <source>用户设置文件%s中[Adjustment Tests]的%s无效，改用默认值!</source>
        <translation>In the user settings file %s the value %s of [Adjustment Tests] is invalid; the default is used!</translation>
    </message>
    <message>
        <location filename="../app/commands/StatisticsCommands.cpp"/>
        <source>方差分量估计失败(平差不收敛或法方程奇异)，未输出结果!</source>
        <translation>Variance component estimation failed (the adjustment did not converge or the normal equations are singular); no results were written!</translation>
    </message>
    <message>
        <location filename="../app/commands/ToolCommands.cpp"/>
        <source>工程%s的坐标数据不存在，请平差后再进行此项处理!</source>
        <translation>Project %s has no coordinate data. Please adjust the network first!</translation>
    </message>
    <message>
        <location filename="../app/commands/ToolCommands.cpp"/>
        <source>无法启动绘图环境，网图未能生成!</source>
        <translation>Cannot start the drawing environment; the network map was not made!</translation>
    </message>
    <message>
        <location filename="../app/commands/ToolCommands.cpp"/>
        <source>坐标文件%s中没有点的坐标，未生成网图文件!</source>
        <translation>The coordinate file %s holds no point coordinates; no network map file was made!</translation>
    </message>
    <message>
        <location filename="../project/AppState.cpp"/>
        <source>结果文件&apos;%s&apos;就是输入文件，请另选结果文件名!</source>
        <translation>The result file &apos;%s&apos; is the input file; please choose another name for the result file!</translation>
    </message>
    <message>
        <location filename="../project/AppState.cpp"/>
        <source>结果文件&apos;%s&apos;是工程%s的数据文件，请另选结果文件名!</source>
        <translation>The result file &apos;%s&apos; is a data file of project %s; please choose another name for the result file!</translation>
    </message>
    <message>
        <location filename="../project/AppState.cpp"/>
        <source>VemoGPS－GPS工程测量网通用平差软件包</source>
        <translation>VemoGPS - General Adjustment Package for GPS Engineering Survey Networks</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>国标A级</source>
        <translation>National grade A</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>国标B级</source>
        <translation>National grade B</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>国标C级</source>
        <translation>National grade C</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>国标D级</source>
        <translation>National grade D</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>国标E级</source>
        <translation>National grade E</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>城市二等</source>
        <translation>Urban 2nd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>城市三等</source>
        <translation>Urban 3rd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>城市四等</source>
        <translation>Urban 4th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>城市一级</source>
        <translation>Urban grade I</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>城市二级</source>
        <translation>Urban grade II</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高铁CP0</source>
        <translation>High-speed rail CP0</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高铁一等</source>
        <translation>High-speed rail 1st order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高铁CPI/二等</source>
        <translation>High-speed rail CPI/2nd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高铁CPII/三等</source>
        <translation>High-speed rail CPII/3rd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高铁四等</source>
        <translation>High-speed rail 4th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高铁五等</source>
        <translation>High-speed rail 5th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>公路二等</source>
        <translation>Highway 2nd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source> 公路三等</source>
        <translation> Highway 3rd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source> 公路四等</source>
        <translation> Highway 4th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source> 公路一级</source>
        <translation> Highway grade I</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source> 公路二级</source>
        <translation> Highway grade II</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水利水电勘测二等</source>
        <translation>Water resources and hydropower survey 2nd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水利水电勘测三等</source>
        <translation>Water resources and hydropower survey 3rd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水利水电勘测四等</source>
        <translation>Water resources and hydropower survey 4th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水利水电勘测五等</source>
        <translation>Water resources and hydropower survey 5th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水电水利施工二等</source>
        <translation>Hydropower construction 2nd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水电水利施工三等</source>
        <translation>Hydropower construction 3rd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>水电水利施工四等</source>
        <translation>Hydropower construction 4th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>工程测量二等</source>
        <translation>Engineering survey 2nd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>工程测量三等</source>
        <translation>Engineering survey 3rd order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>工程测量四等</source>
        <translation>Engineering survey 4th order</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>工程测量一级</source>
        <translation>Engineering survey grade I</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>工程测量二级</source>
        <translation>Engineering survey grade II</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>城市轨道交通</source>
        <translation>Urban rail transit</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>高斯投影</source>
        <translation>Gauss projection</translation>
    </message>
    <message>
        <location filename="../project/GradeTable.cpp"/>
        <source>UTM投影</source>
        <translation>UTM projection</translation>
    </message>
    <message>
        <location filename="../project/HeightModelDlg.h"/>
        <source>选择高程拟合模型</source>
        <translation>Select height fitting model</translation>
    </message>
    <message>
        <location filename="../project/HeightModelDlg.h"/>
        <source>平面模型</source>
        <translation>Plane model</translation>
    </message>
    <message>
        <location filename="../project/HeightModelDlg.h"/>
        <source>曲面模型</source>
        <translation>Surface model</translation>
    </message>
    <message>
        <location filename="../project/HeightModelDlg.h"/>
        <source>常数模型</source>
        <translation>Constant model</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>%s第 %d 行的</source>
        <translation>%sline %d: </translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>上次输入的文件%s中的数据不完整或无法读取(%s)，不能作为本次的输入!
请重新输入这些数据。</source>
        <translation>The data in the file %s entered last time are incomplete or cannot be read (%s) and cannot be used as input this time!
Please enter these data again.</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>请输入固定点点名和固定方位角的起点、终点!</source>
        <translation>Please enter the name of the fixed point and the from and to points of the fixed azimuth!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>点名%s无效：点名不能含空格，且不能超过%d个字符!</source>
        <translation>The point name %s is invalid: a point name must not contain blanks nor exceed %d characters!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>固定方位角的起点与终点是同一点%s，无法定向!</source>
        <translation>The fixed azimuth starts and ends at the same point %s; cannot orient the network!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>输入的数值无效!</source>
        <translation>The values entered are invalid!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>平面坐标x、y的绝对值应不超过%.0lf m!</source>
        <translation>The absolute values of the plane coordinates x and y should not exceed %.0lf m!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>正常高h与投影面正常高h0的绝对值应不超过%.0lf m!</source>
        <translation>The absolute values of the normal height h and of the projection surface height h0 should not exceed %.0lf m!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>大地纬度B应在-90度与90度之间，且分、秒应小于60!</source>
        <translation>The latitude B should lie between -90 and 90 degrees, with minutes and seconds below 60!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>大地经度L应在-180度与360度(不含)之间，且分、秒应小于60!</source>
        <translation>The longitude L should lie between -180 and 360 degrees (exclusive), with minutes and seconds below 60!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>方位角的绝对值应小于360度，且分、秒应小于60!</source>
        <translation>The absolute value of the azimuth should be below 360 degrees, with minutes and seconds below 60!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.cpp"/>
        <source>点%s不在基线向量文件%s中，不是网中的点，请检查后再计算!</source>
        <translation>Point %s is not in the baseline vector file %s and is not a point of the network; please check before computing!</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>输入固定点和方位角[固定一点一方位的工程网]</source>
        <translation>Enter fixed point and azimuth [engineering network with one fixed point and one fixed azimuth]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>固定点信息</source>
        <translation>Fixed point</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>固定方位角信息</source>
        <translation>Fixed azimuth</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>点名</source>
        <translation>Point name</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>平面坐标x[m]</source>
        <translation>Plane x[m]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>平面坐标y[m]</source>
        <translation>Plane y[m]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>正常高h[m]</source>
        <translation>Normal height h[m]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>大地纬度B[dms]</source>
        <translation>Latitude B[dms]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>大地经度L[dms]</source>
        <translation>Longitude L[dms]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>投影面正常高h0[m]</source>
        <translation>Projection surface height h0[m]</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>起点</source>
        <translation>From</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>终点</source>
        <translation>To</translation>
    </message>
    <message>
        <location filename="../project/OneFixOneAzimuth.h"/>
        <source>方位角[dms]</source>
        <translation>Azimuth[dms]</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>工程&apos;%s&apos;已存在,覆盖该工程?</source>
        <translation>The project &apos;%s&apos; already exists. Overwrite it?</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>不能创建工程路径%s(%s),新工程未建立!</source>
        <translation>Cannot create the project directory %s (%s); the new project was not created!</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>不能创建工程文件%s,新工程未建立!</source>
        <translation>Cannot create the project file %s; the new project was not created!</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>%s的值%g超出范围(%g～%g)!</source>
        <translation>The value of %s, %g, is out of range (%g to %g)!</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>固定误差(mm)</source>
        <translation>Fixed error (mm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>比例误差(ppm)</source>
        <translation>Proportional error (ppm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>重复基线差系数</source>
        <translation>Repeated baseline difference factor</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>同步环闭合差系数</source>
        <translation>Synchronous loop misclosure factor</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>异步环闭合差系数</source>
        <translation>Asynchronous loop misclosure factor</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>基线向量改正数系数</source>
        <translation>Baseline vector residual factor</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>向量改正数系数(无约束－约束)</source>
        <translation>Vector residual factor (free - constrained)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>基线方向中误差(&quot;)</source>
        <translation>Baseline direction standard error (&quot;)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>相邻点坐标差中误差(mm)</source>
        <translation>Standard error of adjacent point coordinate differences (mm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>最弱边相对中误差(1/N)</source>
        <translation>Relative standard error of the weakest side (1/N)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>约束点间相对中误差(1/N)</source>
        <translation>Relative standard error between constrained points (1/N)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>基线水平分量中误差(mm)</source>
        <translation>Baseline horizontal component standard error (mm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>基线垂直分量中误差(mm)</source>
        <translation>Baseline vertical component standard error (mm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>环边数限值</source>
        <translation>Maximum sides of a loop</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>基线方差因子</source>
        <translation>Baseline variance factor</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>仪器固定误差(mm)</source>
        <translation>Instrument fixed error(mm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>仪器比例误差(ppm)</source>
        <translation>Instrument proportional error(ppm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>中央子午线(dms)</source>
        <translation>Central meridian(dms)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>测区平均纬度(dms)</source>
        <translation>Mean latitude of the survey area(dms)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>X坐标加常数(km)</source>
        <translation>X coordinate constant(km)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>Y坐标加常数(km)</source>
        <translation>Y coordinate constant(km)</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>独立基线条数</source>
        <translation>Number of independent baselines</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>不能保存设置文件%s,本次使用的工程未被记住!</source>
        <translation>Cannot save the settings file %s; the project used this time was not remembered!</translation>
    </message>
    <message>
        <location filename="../project/ProjectDialogs.cpp"/>
        <source>不能保存工程文件%s,工程参数的修改未保存!</source>
        <translation>Cannot save the project file %s; the changes of the project settings were not saved!</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>等级</source>
        <translation>Grade</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>基线类型</source>
        <translation>Baseline type</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>中央子午线</source>
        <translation>Central meridian</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>X常数</source>
        <translation>X constant</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>Y常数</source>
        <translation>Y constant</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>改造基线解方差阵</source>
        <translation>Modify baseline covariance matrices</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>精度指标</source>
        <translation>Precision criteria</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>坐标系统</source>
        <translation>Coordinate system</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>坐标系统个数</source>
        <translation>Number of coordinate systems</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>工程文件中的坐标系统%s出现了两次且参数不同,只保留第一次的参数!</source>
        <translation>The coordinate system %s occurs twice in the project file with different parameters; only the first parameters are kept!</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>测区平均纬度</source>
        <translation>Mean latitude of the survey area</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>用验前单位权中误差(1cm)</source>
        <translation>Use a priori standard error of unit weight (1 cm)</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>投影类型</source>
        <translation>Projection type</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>工程文件%s中&quot;%s&quot;的值无效!</source>
        <translation>The project file %s holds an invalid value of &quot;%s&quot;!</translation>
    </message>
    <message>
        <location filename="../project/ProjectFile.cpp"/>
        <source>无效的工程文件或该文件
已被破坏,继续进行？</source>
        <translation>The project file is invalid or
has been damaged. Continue?</translation>
    </message>
    <message>
        <location filename="../project/data/ClusterFile.cpp"/>
        <source>文件%s第 %d 行的基线向量%s-%s在基线向量文件中不存在!</source>
        <translation>File %s, line %d: the baseline vector %s-%s does not exist in the baseline vector file!</translation>
    </message>
    <message>
        <location filename="../project/data/ClusterFile.cpp"/>
        <source>文件%s第 %d 行的基线向量%s-%s在基线向量文件中有%d条,请在点名后给出其序号!</source>
        <translation>File %s, line %d: the baseline vector %s-%s occurs %d times in the baseline vector file; give its sequence number after the point names!</translation>
    </message>
    <message>
        <location filename="../project/data/ClusterFile.cpp"/>
        <source>文件%s第 %d 行的基线向量%s-%s(基线向量文件第 %d 行)已被剔除,不能列入CLUSTER!</source>
        <translation>File %s, line %d: the baseline vector %s-%s (line %d of the baseline vector file) has been rejected and cannot be listed in a CLUSTER!</translation>
    </message>
    <message>
        <location filename="../project/data/CovarianceScaling.cpp"/>
        <source>协方差缩放文件%s第 %d 行%s</source>
        <translation>Covariance scaling file %s, line %d %s</translation>
    </message>
    <message>
        <location filename="../project/data/CovarianceScaling.cpp"/>
        <source>应有6项: 时段 方差比例 平面对中误差(mm) 高程对中误差(mm) 下限(mm) 下限(ppm)!</source>
        <translation>should have 6 items: session, variance ratio, horizontal centring error(mm), vertical centring error(mm), floor(mm), floor(ppm)!</translation>
    </message>
    <message>
        <location filename="../project/data/CovarianceScaling.cpp"/>
        <source>的数值有误!</source>
        <translation>has invalid values!</translation>
    </message>
    <message>
        <location filename="../project/data/CovarianceScaling.cpp"/>
        <source>的方差比例应大于0!</source>
        <translation>has a variance ratio that is not greater than 0!</translation>
    </message>
    <message>
        <location filename="../project/data/CovarianceScaling.cpp"/>
        <source>的对中误差与下限不能为负!</source>
        <translation>has a negative centring error or floor!</translation>
    </message>
    <message>
        <location filename="../project/data/CovarianceScaling.cpp"/>
        <source>协方差缩放文件%s第 %d 行的时段%s已在第 %d 行给出!</source>
        <translation>Covariance scaling file %s, line %d: session %s was already given on line %d!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>%s不是普通文件,不能读取!</source>
        <translation>%s is not a regular file and cannot be read!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s不完整(最后一行没有结束)，可能是写入时被中断，请重新计算产生它的命令!</source>
        <translation>The file %s is incomplete (its last line does not end); it may have been interrupted while being written. Please run the command that makes it again!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>在第 %d 行读取数据错误!</source>
        <translation>Error reading data on line %d!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s第 %d 行读取数据错误!</source>
        <translation>Error reading data in the file %s, line %d!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s第 %d 行的数值超出范围!</source>
        <translation>File %s, line %d: a value is out of range!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s第 %d 行超过%d个字符,不能完整读取!</source>
        <translation>File %s, line %d is longer than %d characters and cannot be read whole!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s第 %d 行的点名%s超过%d个字符!</source>
        <translation>File %s, line %d: the point name %s is longer than %d characters!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s第 %d 行的点%s已在第 %d 行给出,且数值不同!</source>
        <translation>File %s, line %d: the point %s was already given on line %d with different values!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>文件%s第 %d 行的点%s不是网中的点!</source>
        <translation>File %s, line %d: the point %s is not a point of the network!</translation>
    </message>
    <message>
        <location filename="../project/data/DataFileReader.cpp"/>
        <source>路径%s中的字符U+%04X不能用GBK编码保存,请改用不含该字符的路径!</source>
        <translation>The path %s contains the character U+%04X, which cannot be stored in GBK; please use a path without it!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>存取二维已知点坐标错误!</source>
        <translation>Error accessing the 2D known point coordinates!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>读取文件%s出错: %s</source>
        <translation>Error reading file %s: %s</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>写入文件%s出错: %s</source>
        <translation>Error writing file %s: %s</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>输入三维已知坐标</source>
        <translation>Enter 3D known coordinates</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>输入二维已知坐标</source>
        <translation>Enter 2D known coordinates</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>输入一维高程点</source>
        <translation>Enter height points</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>  输入地面边长</source>
        <translation>Enter ground distances</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>输入地面方位角</source>
        <translation>Enter ground azimuths</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>X坐标/B</source>
        <translation>X/B</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>Y坐标/L</source>
        <translation>Y/L</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>Z坐标/H</source>
        <translation>Z/H</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>X坐标</source>
        <translation>X</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>Y坐标</source>
        <translation>Y</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>H高程</source>
        <translation>Height H</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>边长值</source>
        <translation>Distance</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>中误差(cm)</source>
        <translation>Standard error(cm)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>方位角</source>
        <translation>Azimuth</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>中误差(秒)</source>
        <translation>Standard error(s)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>X坐标(m)/B(D.MMSS)</source>
        <translation>X(m)/B(D.MMSS)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>Y坐标(m)/L(D.MMSS)</source>
        <translation>Y(m)/L(D.MMSS)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>Z坐标/H(m)</source>
        <translation>Z/H(m)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>X坐标(m)</source>
        <translation>X(m)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>Y坐标(m)</source>
        <translation>Y(m)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>H高程(m)</source>
        <translation>Height H(m)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>边长值(m)</source>
        <translation>Distance(m)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>方位角(D.MMSS)</source>
        <translation>Azimuth(D.MMSS)</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>当前输入的不是一个有效的坐标值!</source>
        <translation>The value entered is not a valid coordinate!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>第%zu行点%s的数值既不是可能的B、L(度分秒)、H,也不是地球表面附近的X、Y、Z,请改正后再确认!</source>
        <translation>Row %zu: the values of point %s are neither a possible B, L (degrees, minutes, seconds), H nor X, Y, Z near the Earth&apos;s surface; please correct them before confirming!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>点名不能含有空格</source>
        <translation>The point name must not contain blanks</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>点名超过%d个字符</source>
        <translation>The point name is longer than %d characters</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>不是一个有效的数值</source>
        <translation>Not a valid number</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>第%d行的点名&quot;%s&quot;含有空格,请改正后再确认!</source>
        <translation>Row %d: the point name &quot;%s&quot; contains blanks; please correct it before confirming!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>第%d行的点名%s超过%d个字符,请改正后再确认!</source>
        <translation>Row %d: the point name %s is longer than %d characters; please correct it before confirming!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>第%d行的&quot;%s&quot;: 当前输入的不是一个有效的坐标值!</source>
        <translation>Row %d, &quot;%s&quot;: the value entered is not a valid coordinate!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>第%d行有数据但%s为空,请输入点名或删除该行后再确认!</source>
        <translation>Row %d has data but its %s is empty; please enter the point name or delete the row before confirming!</translation>
    </message>
    <message>
        <location filename="../project/data/EntryDialogs.cpp"/>
        <source>第%d行点%s的%s为空,请输入数值或删除该行后再确认!</source>
        <translation>Row %d: point %s has an empty %s; please enter a value or delete the row before confirming!</translation>
    </message>
    <message>
        <location filename="../project/data/KnownCovariance.cpp"/>
        <source>文件%s第 %d 行的%s已在第 %d 行给出,不能重复!</source>
        <translation>File %s, line %d: %s was already given on line %d and cannot be repeated!</translation>
    </message>
    <message>
        <location filename="../project/data/KnownCovariance.cpp"/>
        <source>文件%s第 %d 行起的方差阵不正定!</source>
        <translation>File %s, from line %d: the covariance matrix is not positive definite!</translation>
    </message>
    <message>
        <location filename="../project/data/KnownCovariance.cpp"/>
        <source>文件%s第 %d 行起的%s数据不完整!</source>
        <translation>File %s, from line %d: the %s data are incomplete!</translation>
    </message>
    <message>
        <location filename="../project/data/KnownCovariance.cpp"/>
        <source>文件%s第 %d 行的点%s不是已知点!</source>
        <translation>File %s, line %d: the point %s is not a known point!</translation>
    </message>
    <message>
        <location filename="../project/data/ReadGPS2dVector.cpp"/>
        <source>文件%s第 %d 行的基线向量%s-%s长度为0(%.4lf, %.4lf)，不能参与平差!</source>
        <translation>File %s, line %d: the baseline vector %s-%s has zero length (%.4lf, %.4lf) and cannot take part in the adjustment!</translation>
    </message>
    <message>
        <location filename="../project/data/ReadGPS3dVector.cpp"/>
        <source>文件%s第 %d 行的点%s不在近似坐标文件中!</source>
        <translation>File %s, line %d: the point %s is not in the approximate coordinate file!</translation>
    </message>
    <message>
        <location filename="../project/data/VectorFileReader.cpp"/>
        <source>基线向量文件有误，请检查设置对话框中的基线解软件类型!</source>
        <translation>The baseline vector file is wrong. Please check the baseline processing software type in the settings dialog!</translation>
    </message>
    <message>
        <location filename="../project/data/VectorFileReader.cpp"/>
        <source>打开文件%s出错,请检查基线向量文件!</source>
        <translation>Error opening file %s. Please check the baseline vector file!</translation>
    </message>
    <message>
        <location filename="../project/data/VectorFileReader.cpp"/>
        <source>文件%s第 %d 行的基线方差之和不大于零,不能改造方差阵!</source>
        <translation>File %s, line %d: the sum of the baseline variances is not greater than zero; the covariance matrix cannot be modified!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>文件%s第 %d 行: %s</source>
        <translation>File %s, line %d: %s</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>协方差阵不正定!</source>
        <translation>The covariance matrix is not positive definite!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>纬度%.10g超出范围!</source>
        <translation>The latitude %.10g is out of range!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>UTM坐标的半球和带号&quot;%s&quot;无效!</source>
        <translation>The hemisphere and zone &quot;%s&quot; of the UTM coordinates are invalid!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>坐标类型&quot;%s&quot;不能导入(可导入XYZ、LLH、UTM,LLh等正高需先换算为大地高)!</source>
        <translation>The coordinate type &quot;%s&quot; cannot be imported (XYZ, LLH and UTM can; orthometric heights such as LLh must first be converted to ellipsoidal heights)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>约束代码&quot;%s&quot;应为三个字符(C或F)!</source>
        <translation>The constraint code &quot;%s&quot; should be three characters (C or F)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>测站&quot;%s&quot;未在测站文件中定义!</source>
        <translation>The station &quot;%s&quot; is not defined in the station file!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>测站名为空!</source>
        <translation>The station name is empty!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>坐标数值超出范围!</source>
        <translation>A coordinate value is out of range!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;%s&gt;的值&quot;%s&quot;不是数值!</source>
        <translation>&lt;%s&gt; has the value &quot;%s&quot;, which is not a number!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;%s&gt;中缺少&lt;%s&gt;!</source>
        <translation>&lt;%s&gt; lacks &lt;%s&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>XML格式错误(%s),文件可能不完整!</source>
        <translation>XML format error (%s); the file may be incomplete!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>不是DynaML文件(根元素为&lt;%s&gt;)!</source>
        <translation>Not a DynaML file (the root element is &lt;%s&gt;)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;%s&gt;多于簇中其后的成员数!</source>
        <translation>&lt;%s&gt; exceeds the number of members that follow in the cluster!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;%s&gt;应有%d个&lt;%s&gt;,实有%d个!</source>
        <translation>&lt;%s&gt; should have %d &lt;%s&gt;, but has %d!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>方差比例因子(Vscale、Pscale、Lscale、Hscale)必须大于0!</source>
        <translation>The variance scale factors (Vscale, Pscale, Lscale, Hscale) must be greater than 0!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>%s类观测中没有&lt;%s&gt;!</source>
        <translation>The %s measurement has no &lt;%s&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;Total&gt;为%s,实有%d个&lt;%s&gt;!</source>
        <translation>&lt;Total&gt; is %s, but there are %d &lt;%s&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>G类观测只能有一条基线!</source>
        <translation>A G measurement can hold only one baseline!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>簇中成员过多!</source>
        <translation>Too many members in the cluster!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;%s&gt;前缺少&lt;First&gt;!</source>
        <translation>&lt;First&gt; is missing before &lt;%s&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&lt;GPSBaseline&gt;前缺少&lt;Second&gt;!</source>
        <translation>&lt;Second&gt; is missing before &lt;GPSBaseline&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>第%d列起的&quot;%s&quot;不是数值!</source>
        <translation>From column %d: &quot;%s&quot; is not a number!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>不是DNA格式的%s文件(首行应为&quot;!#=DNA 版本 %s ...&quot;)!</source>
        <translation>Not a DNA %s file (the first line should be &quot;!#=DNA version %s ...&quot;)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>测站</source>
        <translation>station</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>观测</source>
        <translation>measurement</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>测站记录不完整(应有约束、坐标类型、两个坐标和高)!</source>
        <translation>The station record is incomplete (it needs the constraints, the coordinate type, two coordinates and the height)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>&quot;%s&quot;不是数值!</source>
        <translation>&quot;%s&quot; is not a number!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>DNA格式的%s类观测(簇)不能导入,请用DynaML格式的文件!</source>
        <translation>DNA %s measurements (clusters) cannot be imported; please use a DynaML file!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>基线缺少起点或终点!</source>
        <translation>The baseline lacks its from or to point!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>方差比例因子(V、P、L、H)必须大于0!</source>
        <translation>The variance scale factors (V, P, L, H) must be greater than 0!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>基线记录不完整(应有三行分量和协方差)!</source>
        <translation>The baseline record is incomplete (it needs three lines of components and covariances)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>缺少基线分量!</source>
        <translation>The baseline components are missing!</translation>
    </message>
    <message>
        <location filename="../project/exchange/DynaReader.cpp"/>
        <source>缺少协方差元素!</source>
        <translation>Covariance elements are missing!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;%s&gt;缺少属性%s!</source>
        <translation>&lt;%s&gt; lacks the attribute %s!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;%s&gt;的属性%s=&quot;%s&quot;不是数值!</source>
        <translation>&lt;%s&gt;: the attribute %s=&quot;%s&quot; is not a number!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;cov-mat&gt;的dim应为%d!</source>
        <translation>The dim of &lt;cov-mat&gt; should be %d!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;cov-mat&gt;的band无效!</source>
        <translation>The band of &lt;cov-mat&gt; is invalid!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;cov-mat&gt;的元素不足!</source>
        <translation>&lt;cov-mat&gt; has too few elements!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;cov-mat&gt;的元素&quot;%s&quot;不是数值!</source>
        <translation>The element &quot;%s&quot; of &lt;cov-mat&gt; is not a number!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;cov-mat&gt;的元素过多!</source>
        <translation>&lt;cov-mat&gt; has too many elements!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>不是gama-local输入文件(根元素为&lt;%s&gt;)!</source>
        <translation>Not a gama-local input file (the root element is &lt;%s&gt;)!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;gama-local&gt;中缺少&lt;network&gt;!</source>
        <translation>&lt;gama-local&gt; lacks &lt;network&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;network&gt;中缺少&lt;points-observations&gt;!</source>
        <translation>&lt;network&gt; lacks &lt;points-observations&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>点&quot;%s&quot;未用&lt;point&gt;定义!</source>
        <translation>The point &quot;%s&quot; is not defined by a &lt;point&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>点&quot;%s&quot;重复定义!</source>
        <translation>The point &quot;%s&quot; is defined twice!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;vectors&gt;中缺少&lt;cov-mat&gt;!</source>
        <translation>&lt;vectors&gt; lacks &lt;cov-mat&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/GamaExchange.cpp"/>
        <source>&lt;coordinates&gt;中缺少&lt;cov-mat&gt;!</source>
        <translation>&lt;coordinates&gt; lacks &lt;cov-mat&gt;!</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>点&quot;%s&quot;出现在多个点簇中!</source>
        <translation>The point &quot;%s&quot; occurs in several point clusters!</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>固定点&quot;%s&quot;没有坐标!</source>
        <translation>The fixed point &quot;%s&quot; has no coordinates!</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>(删除)
</source>
        <translation> (deleted)
</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>以下文件已经存在,导入将覆盖:
%s是否继续?</source>
        <translation>The following files already exist and the import will overwrite them:
%sContinue?</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>已知点应有点名和三个坐标!</source>
        <translation>A known point needs a point name and three coordinates!</translation>
    </message>
    <message>
        <location filename="../project/exchange/ProjectExchange.cpp"/>
        <source>坐标不是可能的B、L、H!</source>
        <translation>The coordinates are not a possible B, L, H!</translation>
    </message>
</context>
</TS>
