<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>VemoGPS</name>
    <message>
        <location filename="../app/desktop/DesktopApp.cpp"/>
        <source>GPS工程测量网通用平差软件包  V%1</source>
        <translation>General Adjustment Package for GPS Engineering Survey Networks  V%1</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopCommands.cpp"/>
        <source>所有文件(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopCommands.cpp"/>
        <source>此命令缺少输入: %s</source>
        <translation>This command lacks an input: %s</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>处理信息</source>
        <translation>Processing</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>完成百分比</source>
        <translation>Completed</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <location filename="../app/desktop/DesktopHost.cpp"/>
        <source>重试(&amp;R)</source>
        <translation>&amp;Retry</translation>
    </message>
    <message>
        <location filename="../app/desktop/HelpWindow.cpp"/>
        <source>VemoGPS 用户指南</source>
        <translation>VemoGPS User Guide</translation>
    </message>
    <message>
        <location filename="../app/desktop/HelpWindow.cpp"/>
        <source>目录</source>
        <translation>Contents</translation>
    </message>
    <message>
        <location filename="../app/desktop/HelpWindow.cpp"/>
        <source>导航</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <location filename="../app/desktop/HelpWindow.cpp"/>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <location filename="../app/desktop/HelpWindow.cpp"/>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <location filename="../app/desktop/HelpWindow.cpp"/>
        <source>首页</source>
        <translation>Home</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>GPS数据文件(*.GPS*)</source>
        <translation>GPS data files (*.GPS*)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>三维基线向量文件(*.GPS3dVector)</source>
        <translation>3D baseline vector files (*.GPS3dVector)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>二维基线向量文件(*.GPS2dVector)</source>
        <translation>2D baseline vector files (*.GPS2dVector)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>三维平差坐标文件(*.GPS3dXYHEFT)</source>
        <translation>3D adjusted coordinate files (*.GPS3dXYHEFT)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>三维平差结果文件(*.GPS3dResult)</source>
        <translation>3D adjustment result files (*.GPS3dResult)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>二维平差坐标文件(*.GPS2dXYEFT)</source>
        <translation>2D adjusted coordinate files (*.GPS2dXYEFT)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>二维平差结果文件(*.GPS2dResult)</source>
        <translation>2D adjustment result files (*.GPS2dResult)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>三维已知坐标文件(*.GPS3dKnownXYZ)</source>
        <translation>3D known coordinate files (*.GPS3dKnownXYZ)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>二维已知坐标文件(*.GPS2dKnownXY)</source>
        <translation>2D known coordinate files (*.GPS2dKnownXY)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>一维已知高程文件(*.GPS1dKnownH)</source>
        <translation>Known height files (*.GPS1dKnownH)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>一维拟合结果文件(*.GPS1dResult)</source>
        <translation>Height fitting result files (*.GPS1dResult)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>地面边长文件(*.GPS2dDistance)</source>
        <translation>Ground distance files (*.GPS2dDistance)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>地面方位角文件(*.GPS2dAzimuth)</source>
        <translation>Ground azimuth files (*.GPS2dAzimuth)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>最近工程(&amp;J)</source>
        <translation>Recent Pro&amp;jects</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>撤消(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>剪切(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>粘贴(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>查找(&amp;F)...</source>
        <translation>&amp;Find...</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>查找下一个(&amp;I)</source>
        <translation>Find &amp;Next</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>替换(&amp;E)</source>
        <translation>R&amp;eplace</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>网图(&amp;M)</source>
        <translation>&amp;Map</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>网图</source>
        <translation>Map</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>界面语言(&amp;L)</source>
        <translation>Interface &amp;Language</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>跟随系统(&amp;S)</source>
        <translation>&amp;System Default</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>中文(&amp;C)</source>
        <translation>&amp;Chinese</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>English(&amp;E)</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>无法写入设置文件，界面语言未能保存。</source>
        <translation>Cannot write the settings file; the interface language was not saved.</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>界面语言将在下次启动程序时更改。</source>
        <translation>The interface language changes the next time the program starts.</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>当前行:%d</source>
        <translation>Line: %d</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>%1—[%2]</source>
        <translation>%1 - [%2]</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>(此功能的计算程序尚未提供)</source>
        <translation> (the computation of this function is not provided yet)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>此功能的计算程序尚未提供</source>
        <translation>The computation of this function is not provided yet</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>打开工程</source>
        <translation>Open project</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>GPS工程文件(*.PRJ)</source>
        <translation>GPS project files (*.PRJ)</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>文件%s已被重新写入。
是否放弃对它所做的修改，读入新的内容?</source>
        <translation>File %s has been rewritten.
Discard your changes to it and read the new content?</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>打开文件%s出错!</source>
        <translation>Error opening file %s!</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>打印预览</source>
        <translation>Print Preview</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>打印设置</source>
        <translation>Print Setup</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>关于VemoGPS</source>
        <translation>About VemoGPS</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>GPS控制网数据处理：基线导入、检核、平差、坐标转换与网图。</source>
        <translation>GPS control network processing: baseline import, checks, adjustment, coordinate conversion and network maps.</translation>
    </message>
    <message>
        <location filename="../app/desktop/MainWindow.cpp"/>
        <source>计算正在进行。是否停止计算并退出?</source>
        <translation>A computation is running. Stop it and exit?</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>放大</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>缩小</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>窗口</source>
        <translation>Zoom Window</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>前级</source>
        <translation>Previous View</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>全图</source>
        <translation>Zoom Extents</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>误差椭圆</source>
        <translation>Error Ellipses</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>控制点名</source>
        <translation>Point Names</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>相同比例</source>
        <translation>Equal Scales</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>地方坐标</source>
        <translation>Local coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/MapView.cpp"/>
        <source>打印机不可用，网图未能打印!</source>
        <translation>No printer is available; the network map was not printed!</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>同步环闭合差</source>
        <translation>Synchronous loop misclosures</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>异步环闭合差</source>
        <translation>Asynchronous loop misclosures</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>重复基线长度差</source>
        <translation>Repeated baseline length differences</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>重复基线分量差</source>
        <translation>Repeated baseline component differences</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>三维平差坐标</source>
        <translation>3D adjusted coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>二维平差坐标</source>
        <translation>2D adjusted coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>工程</source>
        <translation>Project</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>工程文件</source>
        <translation>Project Files</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>一点一方向平差的起算数据</source>
        <translation>Initial data of the one-point-one-direction adjustment</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>基线向量</source>
        <translation>Baseline Vectors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>独立基线向量</source>
        <translation>Independent baseline vectors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>基线方差阵缩放</source>
        <translation>Baseline covariance scaling</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>相关基线的协方差</source>
        <translation>Covariances of correlated baselines</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>导入记录</source>
        <translation>Import log</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>已知数据</source>
        <translation>Known Data</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>三维已知坐标</source>
        <translation>3D known coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>二维已知坐标</source>
        <translation>2D known coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>已知高程</source>
        <translation>Known heights</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>地面边长</source>
        <translation>Ground distances</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>地面方位角</source>
        <translation>Ground azimuths</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>三维已知点协方差</source>
        <translation>3D known point covariances</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>二维已知点协方差</source>
        <translation>2D known point covariances</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>相对精度点对</source>
        <translation>Point pairs for relative precision</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>贯通导线</source>
        <translation>Breakthrough traverse</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>数据检核</source>
        <translation>Data Checks</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>同步环</source>
        <translation>Synchronous loops</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>异步环</source>
        <translation>Asynchronous loops</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>三维平差</source>
        <translation>3D adjustment</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>三维平差结果</source>
        <translation>3D adjustment results</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>统计检验</source>
        <translation>Statistical tests</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>近似坐标</source>
        <translation>Approximate coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>大地坐标</source>
        <translation>Geodetic coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>平面坐标与误差椭圆</source>
        <translation>Plane coordinates and error ellipses</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>平面坐标与高程</source>
        <translation>Plane coordinates and heights</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>大地坐标差向量</source>
        <translation>Geodetic coordinate difference vectors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>二维基线向量</source>
        <translation>2D baseline vectors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>二维平差</source>
        <translation>2D Adjustment</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>二维平差结果</source>
        <translation>2D adjustment results</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>坐标与误差椭圆</source>
        <translation>Coordinates and error ellipses</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>高程拟合</source>
        <translation>Height Fitting</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>高程拟合结果</source>
        <translation>Height fitting results</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>拟合高程</source>
        <translation>Fitted heights</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>椭球面平差</source>
        <translation>Ellipsoidal Adjustment</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>椭球面三维平差结果</source>
        <translation>Ellipsoidal 3D adjustment results</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>秩亏自由网</source>
        <translation>Rank-Deficient Free Network</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>自由网输入坐标</source>
        <translation>Free network input coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>自由网输入协因数</source>
        <translation>Free network input cofactors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>自由网基准</source>
        <translation>Free network datum</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>自由网坐标</source>
        <translation>Free network coordinates</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>自由网协因数</source>
        <translation>Free network cofactors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>自由网点位精度</source>
        <translation>Free network point precisions</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>稳定性分析用的一期数据</source>
        <translation>Epoch data for stability analysis</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>站心坐标与协因数</source>
        <translation>Topocentric coordinates and cofactors</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>贯通与输出</source>
        <translation>Breakthrough and Export</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>贯通点平面结果</source>
        <translation>Plane results of breakthrough points</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>贯通误差</source>
        <translation>Breakthrough error</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>GeoJSON网图</source>
        <translation>GeoJSON network map</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>KML网图</source>
        <translation>KML network map</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>内容</source>
        <translation>Contents</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>同步基线文件</source>
        <translation>Synchronous baseline files</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>工程网(一点一方向)</source>
        <translation>Engineering network (one point, one direction)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>
修改时间: %1</source>
        <translation>
Modified: %1</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>
文件不存在</source>
        <translation>
The file does not exist</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>
比输入文件旧: %1 (%2) 修改于本文件 (%3) 之后，请重新计算</source>
        <translation>
Older than its input: %1 (%2) was modified after this file (%3); compute again</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>%1 个时段</source>
        <translation>%1 sessions</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>工程文件 - %1</source>
        <translation>Project Files - %1</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>文件%1不存在</source>
        <translation>File %1 does not exist</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>打开(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>以表格查看(&amp;T)</source>
        <translation>View as &amp;Table</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>刷新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>工程文件(&amp;P)</source>
        <translation>&amp;Project Files</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>显示或隐藏工程文件窗口</source>
        <translation>Show or hide the project files window</translation>
    </message>
    <message>
        <location filename="../app/desktop/ProjectExplorer.cpp"/>
        <source>结果表格(&amp;B)</source>
        <translation>Result Ta&amp;bles</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>超限: 超出限差</source>
        <translation>Out of tolerance: exceeds the tolerance</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>复制选中的单元格(制表符分隔)  Ctrl+C</source>
        <translation>Copy the selected cells (tab-separated)  Ctrl+C</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>导出CSV(&amp;E)...</source>
        <translation>&amp;Export CSV...</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>全部行按当前顺序导出为CSV文件(UTF-8)</source>
        <translation>Export all rows in the current order to a CSV file (UTF-8)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>共 %1 行</source>
        <translation>%1 rows</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>，&lt;span style=&apos;color:#a00000&apos;&gt;超限 %1 行&lt;/span&gt;</source>
        <translation>, &lt;span style=&apos;color:#a00000&apos;&gt;%1 out of tolerance&lt;/span&gt;</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>，%1 行不是表格行(标题、分隔线或无法识别的行)</source>
        <translation>, %1 lines are not table rows (headings, separators or unrecognised lines)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>写入文件%s出错: %s</source>
        <translation>Error writing file %s: %s</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTableView.cpp"/>
        <source>CSV文件(*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>点名</source>
        <translation>Point name</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>环号</source>
        <translation>Loop</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>闭合环点</source>
        <translation>Loop points</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>坐标闭合差限差(mm)</source>
        <translation>Coordinate tolerance(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>长度闭合差限差(mm)</source>
        <translation>Length tolerance(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>长度闭合差(mm)</source>
        <translation>Length misclosure(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>闭合环总长度(m)</source>
        <translation>Loop length(m)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>相对闭合差(ppm)</source>
        <translation>Relative misclosure(ppm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>处理</source>
        <translation>Stage</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>线路各点名</source>
        <translation>Loop points</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>X闭合差限差(mm)</source>
        <translation>X tolerance(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>X闭合差(mm)</source>
        <translation>X misclosure(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>Y闭合差限差(mm)</source>
        <translation>Y tolerance(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>Y闭合差(mm)</source>
        <translation>Y misclosure(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>Z闭合差限差(mm)</source>
        <translation>Z tolerance(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>Z闭合差(mm)</source>
        <translation>Z misclosure(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>S闭合差限差(mm)</source>
        <translation>S tolerance(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>S闭合差(mm)</source>
        <translation>S misclosure(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>线路总长度(m)</source>
        <translation>Loop length(m)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>组号</source>
        <translation>Group</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>起点</source>
        <translation>From</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>终点</source>
        <translation>To</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>X限差/差值(mm)</source>
        <translation>X tolerance/difference(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>Y限差/差值(mm)</source>
        <translation>Y tolerance/difference(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>Z限差/差值(mm)</source>
        <translation>Z tolerance/difference(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/ResultTables.cpp"/>
        <source>S限差/差值(mm)</source>
        <translation>S tolerance/difference(mm)</translation>
    </message>
    <message>
        <location filename="../app/desktop/TestVerdictMenu.cpp"/>
        <source>三维网统计检验</source>
        <translation>3D network statistical tests</translation>
    </message>
    <message>
        <location filename="../app/desktop/TestVerdictMenu.cpp"/>
        <source>二维网统计检验</source>
        <translation>2D network statistical tests</translation>
    </message>
    <message>
        <location filename="../app/desktop/TestVerdictMenu.cpp"/>
        <source>椭球面平差统计检验</source>
        <translation>Ellipsoidal adjustment statistical tests</translation>
    </message>
    <message>
        <location filename="../app/desktop/TestVerdictMenu.cpp"/>
        <source>高程拟合统计检验</source>
        <translation>Height fitting statistical tests</translation>
    </message>
    <message>
        <location filename="../app/desktop/TestVerdictMenu.cpp"/>
        <source>(尚无检验报告)</source>
        <translation> (no test report yet)</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>查找内容(&amp;N):</source>
        <translation>Fi&amp;nd what:</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>替换为(&amp;P):</source>
        <translation>Re&amp;place with:</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>全字匹配(&amp;W)</source>
        <translation>Match &amp;whole word only</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>区分大小写(&amp;C)</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>向上(&amp;U)</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>向下(&amp;D)</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>查找下一个(&amp;F)</source>
        <translation>&amp;Find Next</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>替换(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>全部替换(&amp;A)</source>
        <translation>Replace &amp;All</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>写文件&apos;%s&apos;出错!</source>
        <translation>Error writing file &apos;%s&apos;!</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>另存为</source>
        <translation>Save As</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>所有文件(*.*) (*)</source>
        <translation>All files (*.*) (*)</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>是否保存对 %s 的修改?</source>
        <translation>Save the changes to %s?</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>找不到&quot;%s&quot;</source>
        <translation>Cannot find &quot;%s&quot;</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>文件%s较大,只能查看,不能替换!</source>
        <translation>File %s is too large to replace in; it can only be viewed!</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>打印机不可用，%s未能打印!</source>
        <translation>No printer is available; %s was not printed!</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <location filename="../app/desktop/TextView.cpp"/>
        <source>选择全部(&amp;S)</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <location filename="../app/desktop/Translations.cpp"/>
        <source>VemoGPS－GPS工程测量网通用平差软件包  V%1</source>
        <translation>VemoGPS - General Adjustment Package for GPS Engineering Survey Networks  V%1</translation>
    </message>
    <message>
        <location filename="../app/desktop/WindowMenu.cpp"/>
        <source>全部关闭(&amp;L)</source>
        <translation>C&amp;lose All</translation>
    </message>
    <message>
        <location filename="../app/desktop/WindowMenu.cpp"/>
        <source>关闭所有窗口，未保存的修改逐个询问</source>
        <translation>Close all windows, asking about unsaved changes one by one</translation>
    </message>
    <message>
        <location filename="../app/print/ReportPages.cpp"/>
        <source>无法启动绘图环境，报告%s未能生成PDF文件!</source>
        <translation>Cannot start the drawing environment; no PDF file was made of report %s!</translation>
    </message>
</context>
</TS>
