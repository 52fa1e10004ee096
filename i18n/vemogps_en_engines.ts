<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>VemoGPS</name>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>基线向量的验前中误差过小: %d条基线中%d条低于其边长可达的精度(中误差中位数%.3fmm，边长%.1f~%.1fkm；20km以上应不小于0.5mm)。协方差可能以m^2给出却按cm^2读入(方差小了10^4倍)，统计检验结果不可信。</source>
        <translation>The a priori standard errors of the baseline vectors are too small: %d baselines, %d of them below the precision their length allows (median standard error %.3fmm, distances %.1f~%.1fkm; above 20km it should be at least 0.5mm). The covariances may be given in m^2 but read as cm^2 (variances 10^4 times too small); the statistical tests cannot be trusted.</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>验后/验前方差因子%.4g大于100: 协方差可能以m^2给出却按cm^2读入(方差小了10^4倍)，统计检验结果不可信。</source>
        <translation>A posteriori/a priori variance factor %.4g is above 100: the covariances may be given in m^2 but read as cm^2 (variances 10^4 times too small); the statistical tests cannot be trusted.</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>验后/验前方差因子%.4g小于0.01: 协方差可能以mm^2给出却按cm^2读入(方差大了100倍)，或基线向量不含观测误差(如设计网)；统计检验结果不可信。</source>
        <translation>A posteriori/a priori variance factor %.4g is below 0.01: the covariances may be given in mm^2 but read as cm^2 (variances 100 times too large), or the baseline vectors carry no observation errors (as in a designed network); the statistical tests cannot be trusted.</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>打开文件%s出错!</source>
        <translation>Error opening file %s!</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>%d条基线可疑</source>
        <translation>%d baselines suspect</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>%d个地面观测可疑</source>
        <translation>%d ground observations suspect</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>%d个已知高程点可疑</source>
        <translation>%d known height points suspect</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>%d个已知点不相容</source>
        <translation>%d known points inconsistent</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>多余观测数为0，检验无定义</source>
        <translation>No redundancy, tests undefined</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>全局检验通过</source>
        <translation>Global test passed</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>全局检验不通过</source>
        <translation>Global test failed</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>，未发现粗差</source>
        <translation>, no gross errors found</translation>
    </message>
    <message>
        <location filename="../adjust/StatisticsReport.cpp"/>
        <source>，%s条基线不可检验</source>
        <translation>, %s baselines cannot be tested</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>文件%s中没有点的大地坐标，不能进行高程拟合!</source>
        <translation>File %s holds no geodetic coordinates of points; height fitting is not possible!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>%s第 %d 行的点%s</source>
        <translation>%sline %d (point %s)</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>文件%s%s不在文件%s中，不参与高程拟合!</source>
        <translation>File %s, %s: not in file %s; left out of the height fitting!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>已知高程点太少,请选其他拟合模型</source>
        <translation>Too few known height points, please choose another fitting model</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>已知高程点的分布不能确定拟合模型(点位重合、共线或过少)，法方程奇异，请选其他拟合模型!</source>
        <translation>The known height points cannot determine the fitting model (points coincide, are collinear or too few); the normal equations are singular. Please choose another fitting model!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>高程拟合的结果不是有限数值：文件%s中点%s的高程%g超出范围，请检查高程数据!</source>
        <translation>The height fitting gave no finite result: in file %s the height of point %s (%g) is out of range. Please check the height data!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS1dHeightFit.cpp"/>
        <source>打开文件：%s出错!</source>
        <translation>Error opening file: %s!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>文件%s中没有基线向量，不能平差!</source>
        <translation>File %s holds no baseline vectors; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>没有二维已知点，网的位置基准无法确定，不能平差!</source>
        <translation>No 2D known points: the position datum of the network is undetermined; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>没有与基线向量相连的二维已知点，网的位置基准无法确定，不能平差!</source>
        <translation>No 2D known point is connected to a baseline vector: the position datum of the network is undetermined; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>只有一个二维已知点时，需要地面方位角和地面边长确定网的方位和尺度，不能平差!</source>
        <translation>With only one 2D known point, ground azimuths and ground distances are needed to fix the orientation and scale of the network; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>二维已知点中只有点%s与基线向量相连，需要地面方位角和地面边长确定网的方位和尺度，不能平差!</source>
        <translation>Of the 2D known points only point %s is connected to baseline vectors; ground azimuths and ground distances are needed to fix the orientation and scale of the network; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>第%d条基线向量%s-%s的起点与终点是同一点，不能平差!</source>
        <translation>Baseline vector %d, %s-%s, starts and ends at the same point; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>第%d条基线向量%s-%s的方差阵不是正定矩阵，不能平差!</source>
        <translation>The covariance matrix of baseline vector %d, %s-%s, is not positive definite; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>第%d条地面边长%s-%s的起点与终点是同一点，不能平差!</source>
        <translation>Ground distance %d, %s-%s, starts and ends at the same point; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>第%d个地面方位角%s-%s的起点与终点是同一点，不能平差!</source>
        <translation>Ground azimuth %d, %s-%s, starts and ends at the same point; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>点%s等%d个点与已知点之间没有观测值连接，法方程奇异，不能平差!</source>
        <translation>Point %s and %d points in all are not connected to the known points by observations; the normal equations are singular; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>点%s与点%s之间的距离为零，无法确定网的方位和尺度，不能平差!</source>
        <translation>The distance between point %s and point %s is zero, so the orientation and scale of the network cannot be determined; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>二维平差，第%i次迭代</source>
        <translation>2D adjustment, iteration %i</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>法方程系数阵奇异或严重病态，无法求解，请检查已知点、基线向量与地面观测值!</source>
        <translation>The normal matrix is singular or badly ill-conditioned and cannot be solved. Please check the known points, the baseline vectors and the ground observations!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>二维平差迭代%d次仍未收敛，请检查已知点坐标、近似坐标与观测值!</source>
        <translation>The 2D adjustment has not converged after %d iterations. Please check the known coordinates, the approximate coordinates and the observations!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetAdjust.cpp"/>
        <source>基线向量数目不足，或者点名有误，请检查后再计算!</source>
        <translation>Too few baseline vectors, or wrong point names. Please check and compute again!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dNetReports.cpp"/>
        <source>输入点:%s不存在!</source>
        <translation>Input point %s does not exist!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS2dParameterEstimation.cpp"/>
        <source>点%s不在文件%s中，没有近似坐标，不能计算转换参数!</source>
        <translation>Point %s is not in file %s and has no approximate coordinates; cannot compute the conversion parameters!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS3dPreparation.cpp"/>
        <source>基线向量文件%s中没有基线向量，不能由基线向量计算各点坐标!</source>
        <translation>Baseline vector file %s holds no baseline vectors; cannot compute the point coordinates from baseline vectors!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS3dPreparation.cpp"/>
        <source>法方程系数阵奇异或严重病态，无法求解，请检查基线向量的方差阵与已知点!</source>
        <translation>The normal matrix is singular or badly ill-conditioned and cannot be solved. Please check the covariance matrices of the baseline vectors and the known points!</translation>
    </message>
    <message>
        <location filename="../adjust2d/GPS3dPreparation.cpp"/>
        <source>点%s的坐标(%.4lf, %.4lf, %.4lf)不能换算为大地坐标!</source>
        <translation>Point %s: the coordinates (%.4lf, %.4lf, %.4lf) cannot be converted to geodetic coordinates!</translation>
    </message>
    <message>
        <location filename="../adjust2d/OneFixAdjust.cpp"/>
        <source>固定一点一方位的工程网只能有一个固定点，文件%s中有%d个点，不能平差!</source>
        <translation>A project network with one fixed point and one azimuth can have only one fixed point; file %s holds %d points; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/OneFixAdjust.cpp"/>
        <source>文件%s中没有固定方位角，网无法定向，不能平差!</source>
        <translation>File %s holds no fixed azimuth, so the network cannot be oriented; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust2d/OneFixAdjust.cpp"/>
        <source>固定方位角的起点与终点是同一点%s，无法定向!</source>
        <translation>The fixed azimuth starts and ends at the same point %s; cannot orient the network!</translation>
    </message>
    <message>
        <location filename="../adjust2d/OneFixAdjust.cpp"/>
        <source>内存不足!</source>
        <translation>Out of memory!</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>文件%s不完整或已损坏：文件头给出%d个点，%s应有%zu项，只读到%zu项!</source>
        <translation>File %s is incomplete or damaged: its header gives %d points, so the %s should have %zu items, but only %zu were read!</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>文件%s第%d行的&quot;%s&quot;不是有效的数值，文件已损坏!</source>
        <translation>File %s, line %d: &quot;%s&quot; is not a valid number; the file is damaged!</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>文件%s的文件头有误，应为点数、多余观测数和单位权中误差!</source>
        <translation>The header of file %s is wrong: it should hold the point count, the redundancy and the standard error of unit weight!</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>文件%s不完整或已损坏：文件头给出%d个点，文件容纳不下这些点的数据!</source>
        <translation>File %s is incomplete or damaged: its header gives %d points, more than the file can hold!</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>文件%s在%s之后还有多余的数据(文件头给出%d个点)，文件与点数不符!</source>
        <translation>File %s has surplus data after the %s (its header gives %d points); the file does not match the point count!</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>点的位移</source>
        <translation>point displacements</translation>
    </message>
    <message>
        <location filename="../adjust3d/FreeNetworkFiles.cpp"/>
        <source>协因数阵</source>
        <translation>cofactor matrix</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>计算近似坐标错误</source>
        <translation>Error computing approximate coordinates</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>点%s等%d个点与B、L、H已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!</source>
        <translation>Point %s and %d points in all are not connected by baseline vectors to known points with B, L, H; cannot compute approximate coordinates; no adjustment results written!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>已知点中只有1个点给定了平面位置(B、L)，网的方向和尺度只能由椭球扁率和地球曲率微弱地确定(法方程严重病态)，请至少给定两个点的平面位置后再平差!</source>
        <translation>Only 1 known point has a horizontal position (B, L): the orientation and scale of the network are only weakly fixed by the ellipsoid&apos;s flattening and the Earth&apos;s curvature (badly ill-conditioned normal equations). Please give the horizontal positions of at least two points and adjust again!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>已知点给定的%d个分量不能确定网的位置、方向和尺度(法方程奇异)，请增加已知点或已知分量后再平差!</source>
        <translation>The %d components given at known points cannot fix the position, orientation and scale of the network (singular normal equations). Please add known points or known components and adjust again!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>组成法方程</source>
        <translation>Forming normal equations</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>(GPS-&gt;地面)参数%s=%.3lf%s的中误差%.3lf%s大于参数本身，网形(例如各点近于共线)不能确定该参数，平差结果的方向与尺度不可靠，请检查网形与已知点!</source>
        <translation>(GPS-&gt;ground) parameter %s=%.3lf%s has a standard error of %.3lf%s, larger than the parameter itself: the network&apos;s shape (for example points nearly collinear) cannot determine this parameter, and the orientation and scale of the results are unreliable. Please check the network&apos;s shape and the known points!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>秒</source>
        <translation>&quot;</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dCombinedAdjust.cpp"/>
        <source>没有同时给定B、L、H的已知点，无法计算近似坐标，网的位置基准不足(法方程奇异)，不能平差!</source>
        <translation>No known point has B, L and H together: cannot compute approximate coordinates; the position datum of the network is insufficient (singular normal equations); cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>点的记录</source>
        <translation>point records</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>文件%s中点%s的基准权%g为负数，基准权应为0(不参与基准)、1(基准点)或其间的值!</source>
        <translation>In file %s the datum weight of point %s, %g, is negative; a datum weight should be 0 (not in the datum), 1 (datum point) or between them!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>基准矩阵G</source>
        <translation>datum matrix G</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>网的重心(%.4lf, %.4lf, %.4lf)不能换算为大地坐标，无法建立站心坐标系，请检查近似坐标!</source>
        <translation>The centroid of the network (%.4lf, %.4lf, %.4lf) cannot be converted to geodetic coordinates, so no local horizon system can be set up. Please check the approximate coordinates!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>GPS三维秩亏自由网</source>
        <translation>GPS 3D free network</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>文件%s中的基准权(或%s中的基准矩阵G)确定不了网的基准：法方程N=G&apos;PG奇异，无法进行S变换。请至少给一个点非零的基准权!</source>
        <translation>The datum weights in file %s (or the datum matrix G in %s) do not fix the datum of the network: the normal matrix N=G&apos;PG is singular and no S-transformation is possible. Please give at least one point a nonzero datum weight!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dFreeNetwork.cpp"/>
        <source>文件%s中的数值过大，S变换的结果超出了数值范围(非有限值)，请检查该文件，不输出结果!</source>
        <translation>The values in file %s are too large: the S-transformation gave results out of range (not finite). Please check the file; no results written!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>点%s等%d个点与已知点之间没有基线向量连接，法方程奇异，不能平差!</source>
        <translation>Point %s and %d points in all are not connected to known points by baseline vectors; the normal equations are singular; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>近似坐标文件只有%d个点，少于已知点数%d，不能平差!</source>
        <translation>The approximate coordinate file has only %d points, fewer than the %d known points; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>近似坐标文件的第%d个点应为已知点%s，而不是%s，不能平差!</source>
        <translation>Point %d of the approximate coordinate file should be known point %s, not %s; cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>没有三维已知点，网的位置基准无法确定(法方程奇异)，不能平差!</source>
        <translation>No 3D known points: the position datum of the network is undetermined (singular normal equations); cannot adjust!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>点%s等%d个点与已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!</source>
        <translation>Point %s and %d points in all are not connected to known points by baseline vectors; cannot compute approximate coordinates; no adjustment results written!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>法方程系数阵在点%s处奇异或严重病态，无法求解，请检查与该点相连的基线向量的方差阵与已知点!</source>
        <translation>The normal matrix is singular or badly ill-conditioned at point %s and cannot be solved. Please check the covariance matrices of the baseline vectors at that point and the known points!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>三维平差</source>
        <translation>3D adjustment</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetAdjust.cpp"/>
        <source>网中的%d个点都是已知点,没有待定点,无需平差!</source>
        <translation>All %d points of the network are known points; there is no point to determine and nothing to adjust!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetReports.cpp"/>
        <source>打开文件:%s出错!</source>
        <translation>Error opening file: %s!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetReports.cpp"/>
        <source>秩亏自由网的输入文件要求恰有一个已知点，本工程有%d个已知点，不产生这些文件!</source>
        <translation>The input files of the free network need exactly one known point; this project has %d known points, so these files are not written!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetReports.cpp"/>
        <source>点%s不在网中，不产生秩亏自由网的输入文件!</source>
        <translation>Point %s is not in the network; the input files of the free network are not written!</translation>
    </message>
    <message>
        <location filename="../adjust3d/GPS3dNetReports.cpp"/>
        <source>文件%s已存在，重新产生？</source>
        <translation>File %s already exists. Write it again?</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source> 等共%d个点</source>
        <translation> ... (%d points in all)</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>结果文件%s就是输入文件，请另选输出位移文件!</source>
        <translation>Result file %s is the input file. Please choose another output displacement file!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>输出位移文件%s与位移协因数阵文件同名，请另选输出位移文件!</source>
        <translation>Output displacement file %s has the same name as the displacement cofactor file. Please choose another output displacement file!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>稳定性分析</source>
        <translation>Stability analysis</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>点%s的位移协因数为%.4lf，两期单位权中误差为%.2lf和%.2lf，无法计算检验统计量!</source>
        <translation>The displacement cofactor of point %s is %.4lf and the standard errors of unit weight of the two campaigns are %.2lf and %.2lf; cannot compute the test statistic!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>文件%s的多余观测数为%d，不能为负数，该文件不是秩亏自由网的结果!</source>
        <translation>The redundancy in file %s is %d, which cannot be negative; the file is no free network result!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>文件%s中点名%s出现了不止一次，稳定性分析的点名必须各不相同!</source>
        <translation>In file %s the point name %s occurs more than once; the point names of a stability analysis must all differ!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>文件%s只有%d个点，稳定性分析至少需要两个点!</source>
        <translation>File %s has only %d points; a stability analysis needs at least two points!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>第一期文件%s与第二期文件%s只有%d个共同的点，稳定性分析至少需要两个共同点!</source>
        <translation>First campaign file %s and second campaign file %s have only %d points in common; a stability analysis needs at least two common points!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>两期观测按点名对应，共同点%d个参与稳定性分析。只在第一期文件%s中的点：%s；只在第二期文件%s中的点：%s</source>
        <translation>The two campaigns are matched by point name; %d common points take part in the stability analysis. Points only in the first campaign file %s: %s; points only in the second campaign file %s: %s</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>点%s的位移(%g mm)或其检验统计量不是有限数值：文件%s与%s中该点的坐标数值过大，不能进行稳定性分析!</source>
        <translation>The displacement of point %s (%g mm) or its test statistic is not finite: the coordinates of this point in files %s and %s are too large; cannot run the stability analysis!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>稳定性分析迭代%d次后位移仍未收敛(每次变化超过%.1lf mm)，不输出结果!</source>
        <translation>The displacements of the stability analysis have not converged after %d iterations (each change above %.1lf mm); no results written!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysis.cpp"/>
        <source>两期观测的多余观测数为%d和%d，单位权中误差为%.2lf和%.2lf，没有验后方差，请给出验前单位权中误差再进行全等检验!</source>
        <translation>The redundancies of the two campaigns are %d and %d and their standard errors of unit weight %.2lf and %.2lf, so there is no a posteriori variance. Please give the a priori standard error of unit weight before the congruence test!</translation>
    </message>
    <message>
        <location filename="../adjust3d/StabilityAnalysisCongruence.cpp"/>
        <source>两期共同点(%d个，自%s起)的位移协因数阵除平移外不正定，无法进行全等检验!</source>
        <translation>The displacement cofactor matrix of the common points of the two campaigns (%d points, from %s on) is not positive definite apart from the translation; cannot run the congruence test!</translation>
    </message>
    <message>
        <location filename="../baselines/IndependentBaselines.cpp"/>
        <source>没有选定同步基线文件,%s未改写!</source>
        <translation>No synchronous baseline files selected; %s not rewritten!</translation>
    </message>
    <message>
        <location filename="../baselines/IndependentBaselines.cpp"/>
        <source>基线文件:%s不存在!</source>
        <translation>Baseline file %s does not exist!</translation>
    </message>
    <message>
        <location filename="../baselines/SelectBaselineDlg.cpp"/>
        <source>选择基线文件路径</source>
        <translation>Choose the folder of the baseline files</translation>
    </message>
    <message>
        <location filename="../baselines/SelectBaselineDlg.cpp"/>
        <source>选择存放同步基线文件路径</source>
        <translation>Choose the folder for the synchronous baseline files</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>有%d个闭合环的两端在网中不连通,未能搜索!</source>
        <translation>%d loops have ends not connected in the network and could not be searched!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>打开文件%s出错,请检查基线向量文件!</source>
        <translation>Error opening file %s. Please check the baseline vector file!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>基线向量文件有误!</source>
        <translation>The baseline vector file is wrong!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>同步环文件：%s已经存在，是否覆盖？</source>
        <translation>Synchronous loop file %s already exists. Overwrite it?</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>同步环闭合差计算</source>
        <translation>Synchronous loop misclosures</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>没有选取同步基线文件,同步环文件%s也不存在,没有可计算的同步环!</source>
        <translation>No synchronous baseline files selected and synchronous loop file %s does not exist: no synchronous loops to compute!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>没有读入任何同步基线文件,同步环文件%s保持不变!</source>
        <translation>No synchronous baseline file was read; synchronous loop file %s left unchanged!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>打开文件：%s出错！</source>
        <translation>Error opening file: %s!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>同步环文件%s不足10个字节,没有可计算的同步环!</source>
        <translation>Synchronous loop file %s is shorter than 10 bytes: no synchronous loops to compute!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>点%s不存在!</source>
        <translation>Point %s does not exist!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>同步环文件%s中有%d个同步环的数值超出范围,闭合差无法计算,未列入结果!</source>
        <translation>In synchronous loop file %s, %d synchronous loops have values out of range; their misclosures cannot be computed and are left out of the results!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>闭合环路文件已存在，重新产生？</source>
        <translation>The loop file already exists. Create it again?</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>第%d行点%s不存在!</source>
        <translation>Line %d: point %s does not exist!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>第%d条线路点太少,计算失败!</source>
        <translation>Route %d has too few points; computation failed!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>第%s条线路(共%d条)有相邻两点之间没有基线向量,未计算!</source>
        <translation>Routes %s (of %d) have neighbouring points without a baseline vector between them; not computed!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>第%s条线路(共%d条)的闭合差限差无法计算(基线方差不为正),未计算!</source>
        <translation>The misclosure tolerances of routes %s (of %d) cannot be computed (baseline variances not positive); not computed!</translation>
    </message>
    <message>
        <location filename="../checks/LoopChecks.cpp"/>
        <source>%d条线路推算完成!</source>
        <translation>%d routes computed!</translation>
    </message>
    <message>
        <location filename="../checks/LoopSearch.cpp"/>
        <source>GPS网</source>
        <translation>GPS network</translation>
    </message>
    <message>
        <location filename="../checks/LoopSearch.cpp"/>
        <source>GPS网闭合环</source>
        <translation>GPS network loops</translation>
    </message>
    <message>
        <location filename="../checks/RepeatBaselines.cpp"/>
        <source>第%s条基线所在的重复基线组的限差无法计算(基线方差不为正),未列入比较结果!</source>
        <translation>The tolerance of the repeated baseline group of baseline %s cannot be computed (baseline variances not positive); left out of the comparison!</translation>
    </message>
    <message>
        <location filename="../geodesy/ApproximateCoordinates.cpp"/>
        <source>近似坐标计算失败!</source>
        <translation>Computing approximate coordinates failed!</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>未输入参考站名！</source>
        <translation>No reference station name entered!</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>基线文件中没有参考站%s的坐标，已知坐标文件未改写!</source>
        <translation>The baseline files hold no coordinates of reference station %s; the known coordinates file was not rewritten!</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>基线文件:%s第%s行的基线缺少点名、基线分量或协方差，未写入同步基线文件!</source>
        <translation>Baseline file %s, line %s: the baseline lacks point names, vector components or covariances; not written to the synchronous baseline file!</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>基线文件:%s第%s行的基线点名无效或数值超出范围，未写入同步基线文件!</source>
        <translation>Baseline file %s, line %s: the baseline has invalid point names or values out of range; not written to the synchronous baseline file!</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>或</source>
        <translation> or </translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>基线文件:%s中没有读出任何基线!
工程设置的基线解算软件是%s，</source>
        <translation>No baseline could be read from baseline file %s!
The baseline processing software in the project settings is %s; </translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>用其他基线解算软件的格式也读不出基线，请检查该文件。</source>
        <translation>the formats of the other baseline processing software read no baseline either. Please check the file.</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>该文件像是%s的基线文件，请在设置中改选基线解算软件后重新读取。</source>
        <translation>the file looks like a baseline file of %s. Please choose that baseline processing software in the settings and read the file again.</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselineImport.cpp"/>
        <source>基线文件%s和%s都将写入同步基线文件%s,后者会覆盖前者,请改名后再读取!</source>
        <translation>Baseline files %s and %s would both be written to synchronous baseline file %s, the latter overwriting the former. Please rename one and read again!</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselinePackages.cpp"/>
        <source>中海达</source>
        <translation>Zhonghaida</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselinePackages.cpp"/>
        <source>南方(asc)</source>
        <translation>South(asc)</translation>
    </message>
    <message>
        <location filename="../geodesy/BaselinePackages.cpp"/>
        <source>华测</source>
        <translation>Huace</translation>
    </message>
    <message>
        <location filename="../geodesy/DisplayMessageDlg.cpp"/>
        <source>处理信息</source>
        <translation>Processing</translation>
    </message>
    <message>
        <location filename="../geodesy/DisplayMessageDlg.cpp"/>
        <source>计算已取消!</source>
        <translation>Computation cancelled!</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>三维直角坐标文件(*.XYZ)</source>
        <translation>3D Cartesian coordinate files (*.XYZ)</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>输入三维直角坐标文件</source>
        <translation>Input 3D Cartesian coordinate file</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>三维大地坐标文件(*.BLH)</source>
        <translation>3D geodetic coordinate files (*.BLH)</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>输入三维大地坐标文件</source>
        <translation>Input 3D geodetic coordinate file</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>大地经纬度文件(*.BL)</source>
        <translation>Latitude and longitude files (*.BL)</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>输入大地经纬度文件</source>
        <translation>Input latitude and longitude file</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>二维直角坐标文件(*.XY)</source>
        <translation>2D grid coordinate files (*.XY)</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>输入二维直角坐标文件</source>
        <translation>Input 2D grid coordinate file</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>二维直角坐标变换文件(*.XYXY)</source>
        <translation>2D coordinate transformation files (*.XYXY)</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>输入二维直角坐标变换文件</source>
        <translation>Input 2D coordinate transformation file</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>三维直角坐标变换文件(*.XYZXYZ)</source>
        <translation>3D coordinate transformation files (*.XYZXYZ)</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>输入三维直角坐标变换文件</source>
        <translation>Input 3D coordinate transformation file</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>椭球参数无效(a=%.3lf, 1/f=%.9lf)，无法进行坐标转换!</source>
        <translation>Invalid ellipsoid parameters (a=%.3lf, 1/f=%.9lf); cannot convert coordinates!</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>结果文件&apos;%s&apos;就是输入文件，请更改输入文件的扩展名后再计算!</source>
        <translation>Result file &apos;%s&apos; is the input file. Please change the extension of the input file and compute again!</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>%s不是普通文件，不能写入!</source>
        <translation>%s is not a regular file and cannot be written!</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>写文件&apos;%s&apos;出错!</source>
        <translation>Error writing file &apos;%s&apos;!</translation>
    </message>
    <message>
        <location filename="../geodesy/GPSTransfer.cpp"/>
        <source>所有文件(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <location filename="../geodesy/Geoid.cpp"/>
        <source>大地水准面模型文件%s无法读取(文件不存在，或不是PROJ能读的GTX、GeoTIFF格网，或已损坏)!</source>
        <translation>Geoid model file %s cannot be read (it does not exist, is not a GTX or GeoTIFF grid PROJ can read, or is damaged)!</translation>
    </message>
    <message>
        <location filename="../geodesy/Geoid.cpp"/>
        <source>PROJ的数据目录中没有大地水准面模型EGM96的格网文件%s，请安装proj-data!</source>
        <translation>PROJ&apos;s data folder holds no grid file %s of the geoid model EGM96. Please install proj-data!</translation>
    </message>
    <message>
        <location filename="../geodesy/Geoid.cpp"/>
        <source>点%s(纬度%.6f°, 经度%.6f°)不在大地水准面模型%s的格网范围内(或该处格网无数值)!</source>
        <translation>Point %s (latitude %.6f°, longitude %.6f°) is outside the grid of geoid model %s (or the grid has no value there)!</translation>
    </message>
    <message>
        <location filename="../geodesy/LibraryState.cpp"/>
        <source>打开文件&apos;%s&apos;出错!</source>
        <translation>Error opening file &apos;%s&apos;!</translation>
    </message>
    <message>
        <location filename="../geodesy/LibraryState.cpp"/>
        <source>内存不足,请关闭一些应用程序后再试!</source>
        <translation>Out of memory. Please close some applications and try again!</translation>
    </message>
    <message>
        <location filename="../geodesy/ReadGPS3dBaseline.cpp"/>
        <source>基线向量文件有误，请检查设置对话框中的基线解软件类型!</source>
        <translation>The baseline vector file is wrong. Please check the baseline processing software type in the settings dialog!</translation>
    </message>
    <message>
        <location filename="../geodesy/SimilarityTransform.cpp"/>
        <source>公共点的分布不能确定转换参数(点位重合或共线)，法方程奇异，无法计算!</source>
        <translation>The common points cannot determine the conversion parameters (points coincide or are collinear); the normal equations are singular; cannot compute!</translation>
    </message>
    <message>
        <location filename="../geodesy/SimilarityTransform.cpp"/>
        <source>第%d行的点名%s超过%d个字符，该行未参与计算!</source>
        <translation>Line %d: point name %s is longer than %d characters; the line is left out!</translation>
    </message>
    <message>
        <location filename="../geodesy/SimilarityTransform.cpp"/>
        <source>第%d行的点%s的坐标超出范围，该行未参与计算!</source>
        <translation>Line %d: the coordinates of point %s are out of range; the line is left out!</translation>
    </message>
    <message>
        <location filename="../geodesy/SimilarityTransform.cpp"/>
        <source>第%d行的公共点%s位于待转换点之后，公共点必须全部排在待转换点之前!</source>
        <translation>Line %d: common point %s follows the points to convert; all common points must come before the points to convert!</translation>
    </message>
    <message>
        <location filename="../geodesy/SimilarityTransform.cpp"/>
        <source>公共点数目不足(%d个)，求解转换参数至少需要%d个公共点!</source>
        <translation>Too few common points (%d); solving the conversion parameters needs at least %d common points!</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.cpp"/>
        <source>%s 请输入一个介于 %g 和 %g 之间的数。</source>
        <translation>%s Please enter a number between %g and %g.</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.cpp"/>
        <source>%s: 请选择 %s、%s 或 %s。</source>
        <translation>%s: please choose %s, %s or %s.</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.cpp"/>
        <source>点%s的坐标无法换带计算，已跳过!</source>
        <translation>The coordinates of point %s cannot be carried to the other zone; skipped!</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>坐标换带与高程面转换计算</source>
        <translation>Zone change and height surface conversion</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>第一带投影面大地高(m):</source>
        <translation>Zone 1 projection surface height (m):</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>第一带中央子午线(dms):</source>
        <translation>Zone 1 central meridian (dms):</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>第二带投影面大地高(m):</source>
        <translation>Zone 2 projection surface height (m):</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>第二带中央子午线(dms):</source>
        <translation>Zone 2 central meridian (dms):</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>高程投影椭球膨胀方法</source>
        <translation>Ellipsoid enlargement for the height surface</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../geodesy/ZoneChange.h"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../tools/Breakthrough.cpp"/>
        <source>贯通误差数据文件%s第 %d 行读取数据错误，该文件已损坏或不完整!
请重新进行二维网平差以重新生成该文件。</source>
        <translation>Breakthrough error data file %s, line %d: error reading data; the file is damaged or incomplete!
Please run the 2D adjustment again to write the file anew.</translation>
    </message>
    <message>
        <location filename="../tools/Breakthrough.cpp"/>
        <source>贯通误差数据文件%s中没有贯通点的数据，未计算贯通误差!
请检查贯通误差引导文件后重新进行二维网平差。</source>
        <translation>Breakthrough error data file %s holds no data of breakthrough points; breakthrough error not computed!
Please check the breakthrough error guide file and run the 2D adjustment again.</translation>
    </message>
    <message>
        <location filename="../tools/Breakthrough.cpp"/>
        <source>读贯通误差引导文件%d行出错</source>
        <translation>Error reading line %d of the breakthrough error guide file</translation>
    </message>
    <message>
        <location filename="../tools/Breakthrough.cpp"/>
        <source>没建立贯通误差引导文件
请建立引导文件后重新平差
然后再计算贯通误差</source>
        <translation>No breakthrough error guide file
Please create the guide file and adjust again,
then compute the breakthrough error</translation>
    </message>
    <message>
        <location filename="../tools/Breakthrough.cpp"/>
        <source>测站%s与照准点%s或测站%s与照准点%s重合(贯通误差数据文件%s第 %d 行起)，无法计算贯通误差!</source>
        <translation>Station %s coincides with target %s, or station %s with target %s (breakthrough error data file %s from line %d); cannot compute the breakthrough error!</translation>
    </message>
    <message>
        <location filename="../tools/Breakthrough.cpp"/>
        <source>贯通误差计算完毕</source>
        <translation>Breakthrough error computed</translation>
    </message>
    <message>
        <location filename="../tools/DXF.cpp"/>
        <source>坐标文件%s第%d行点%s的坐标超出范围(绝对值应小于%.0e米)，未生成网图文件!</source>
        <translation>Coordinate file %s, line %d: the coordinates of point %s are out of range (absolute values must be below %.0e m); no map file written!</translation>
    </message>
    <message>
        <location filename="../tools/DXF.cpp"/>
        <source>基线%s的端点不在坐标文件中，未画入网图!</source>
        <translation>The ends of baselines %s are not in the coordinate file; not drawn in the network map!</translation>
    </message>
    <message>
        <location filename="../tools/DXF.cpp"/>
        <source>已生成AutoCAD格式的网图文件!</source>
        <translation>Network map file in AutoCAD format written!</translation>
    </message>
    <message>
        <location filename="../tools/DXF.cpp"/>
        <source>DXF文件(*.dxf)</source>
        <translation>DXF files (*.dxf)</translation>
    </message>
    <message>
        <location filename="../tools/DXF.cpp"/>
        <source>坐标文件(*.GPS3dXYHEFT)</source>
        <translation>Coordinate files (*.GPS3dXYHEFT)</translation>
    </message>
    <message>
        <location filename="../tools/DXF.cpp"/>
        <source>基线向量文件(*.GPS3dVector)</source>
        <translation>Baseline vector files (*.GPS3dVector)</translation>
    </message>
    <message>
        <location filename="../tools/GisExport.cpp"/>
        <source>平差结果文件中的&quot;%s&quot;表不完整(文件被截断或损坏)</source>
        <translation>The &quot;%s&quot; table in the adjustment result file is incomplete (the file is cut short or damaged)</translation>
    </message>
    <message>
        <location filename="../tools/GisExport.cpp"/>
        <source>平差结果文件中的坐标行&quot;%s&quot;无法识别</source>
        <translation>Coordinate row &quot;%s&quot; of the adjustment result file cannot be read</translation>
    </message>
    <message>
        <location filename="../tools/GisExport.cpp"/>
        <source>点%s的坐标无法换算为经纬度</source>
        <translation>The coordinates of point %s cannot be converted to latitude and longitude</translation>
    </message>
    <message>
        <location filename="../tools/GisExport.cpp"/>
        <source>平差结果文件中没有平差后坐标</source>
        <translation>The adjustment result file holds no adjusted coordinates</translation>
    </message>
    <message>
        <location filename="../tools/GisExport.cpp"/>
        <source>平差结果文件中的残差行&quot;%s&quot;无法识别</source>
        <translation>Residual row &quot;%s&quot; of the adjustment result file cannot be read</translation>
    </message>
    <message>
        <location filename="../tools/GisExport.cpp"/>
        <source>工程%s的坐标数据不存在，请平差后再进行此项处理!</source>
        <translation>Project %s has no coordinate data. Please adjust the network first!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>设计坐标文件%s的第1行应为接收机精度指标: a(mm) b(ppm) c(秒)!</source>
        <translation>Line 1 of design coordinate file %s should hold the receiver precision: a(mm) b(ppm) c(s)!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>设计基线%s-%s的点%s不在设计坐标文件中，该基线未模拟!</source>
        <translation>Design baseline %s-%s: point %s is not in the design coordinate file; the baseline is not simulated!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>设计基线%s-%s的水平长度为0(铅垂或两端同点)，方向不定，该基线未模拟!</source>
        <translation>Design baseline %s-%s has zero horizontal length (vertical, or both ends at one point), so its direction is undefined; the baseline is not simulated!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>设计连线文件名%s没有扩展名(应为 名称.line)，无法确定向量文件名!</source>
        <translation>Design line file name %s has no extension (it should be NAME.line); cannot name the vector file!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>设计连线文件%s中没有可以模拟的基线，未生成基线向量文件%s!</source>
        <translation>Design line file %s holds no baseline to simulate; baseline vector file %s not written!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>GPS设计坐标文件(*.xyz)</source>
        <translation>GPS design coordinate files (*.xyz)</translation>
    </message>
    <message>
        <location filename="../tools/NetworkDesign.cpp"/>
        <source>GPS设计网图连线文件(*.line)</source>
        <translation>GPS design network line files (*.line)</translation>
    </message>
    <message>
        <location filename="../tools/NetworkMapFiles.cpp"/>
        <source>网图页面%.0lf×%.0lf毫米的PNG图片为%.0lf×%.0lf像素，每边不能超过%.0lf像素，总数不能超过%.0lf百万像素，未生成网图文件%s!</source>
        <translation>A PNG image of a %.0lfx%.0lf mm map page is %.0lfx%.0lf pixels; each side may be at most %.0lf pixels and the total at most %.0lf megapixels; map file %s not written!</translation>
    </message>
    <message>
        <location filename="../tools/NetworkMapFiles.cpp"/>
        <source>生成网图文件%s约需%.0lfMB内存。内存不足,请关闭一些应用程序后再试!</source>
        <translation>Writing map file %s needs about %.0lfMB of memory. Out of memory, please close some applications and try again!</translation>
    </message>
    <message>
        <location filename="../tools/VemoGPSDoc.cpp"/>
        <source>坐标文件%s中没有点的坐标，无法绘制网图!</source>
        <translation>Coordinate file %s holds no point coordinates; cannot draw the network map!</translation>
    </message>
    <message>
        <location filename="../tools/VemoGPSDoc.cpp"/>
        <source>网图数据中点名：%s不存在！</source>
        <translation>Point name %s in the network map data does not exist!</translation>
    </message>
    <message>
        <location filename="../tools/VemoGPSDoc.cpp"/>
        <source>网图页面文件%s的页面为%.0lf×%.0lf毫米，页宽和页高不能超过%.0lf毫米，未生成网图!</source>
        <translation>The page in map page file %s is %.0lfx%.0lf mm; page width and height may not exceed %.0lf mm; no map drawn!</translation>
    </message>
    <message>
        <location filename="../tools/VemoGPSDoc.cpp"/>
        <source>网图页面文件%s应为一行7个数(页宽 页高 左 右 上 下边距 图框高,毫米)，且绘图区不能为空；已使用默认页面(210×297毫米)!</source>
        <translation>Map page file %s should hold one line of 7 numbers (page width, height, left, right, top, bottom margin, frame height, in mm) that leave a drawing area; the default page (210x297 mm) was used!</translation>
    </message>
</context>
</TS>
