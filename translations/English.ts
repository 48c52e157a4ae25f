<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AlgorithmBoxProc</name>
    <message>
        <source>open BOXPORT failed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware upgrade OK!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware upgrade NG!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BGraphicsItem</name>
    <message>
        <source>refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BPolygon</name>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Polygon vertices cannot more than 20,please redraw!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Component_LogOperate</name>
    <message>
        <source>Form</source>
        <translation>Playback Control</translation>
    </message>
    <message>
        <source>first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>previous</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>last</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>videoCamera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>playback progress value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>play rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>play source path:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playback is end!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data can be playeback!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not available Valid data sources can be playeback!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_AllData</name>
    <message>
        <source>Index</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>distance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>confidence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>deep field</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dialog</source>
        <translation>Point Table</translation>
    </message>
    <message>
        <source>总点数：</source>
        <translation>Total points:</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>页码</source>
        <translation>Page number</translation>
    </message>
    <message>
        <source>跳转</source>
        <translation>Go</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>row%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set page number error, current page range[1,%2]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_Config</name>
    <message>
        <source>Dialog</source>
        <translation>Config</translation>
    </message>
    <message>
        <source>日志参数</source>
        <translation>Log parameters</translation>
    </message>
    <message>
        <source>日志保存路径</source>
        <translation>Log save path</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Config</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The log path does not have write permission, please change the path.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_Connect</name>
    <message>
        <source>Dialog</source>
        <translation>Device Connection Information</translation>
    </message>
    <message>
        <source>本地监听端口</source>
        <translation>Local listening port</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>断开</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Device Connection Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Num </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ListenPort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UploadIP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UploadPort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mac</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RPM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delay(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The range of values for the host listening port (1000,65535)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select the lidar to be connected first</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_Debug</name>
    <message>
        <source>Dialog</source>
        <translation>Debug View</translation>
    </message>
    <message>
        <source>有效点-灰度图</source>
        <translation>Valid points (greyscale)</translation>
    </message>
    <message>
        <source>强度-灰度图</source>
        <translation>Intensity (greyscale)</translation>
    </message>
    <message>
        <source>3σ定律99.7</source>
        <translation>3σ rule (99.7%)</translation>
    </message>
    <message>
        <source>当前帧数据</source>
        <translation>Current frame</translation>
    </message>
    <message>
        <source>总点数</source>
        <translation>Total points</translation>
    </message>
    <message>
        <source>轴\参数</source>
        <translation>Axis</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>差值</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>平均值</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>标准差</source>
        <translation>Std dev</translation>
    </message>
    <message>
        <source>单项点数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>X轴数据</source>
        <translation>X axis</translation>
    </message>
    <message>
        <source>Y轴数据</source>
        <translation>Y axis</translation>
    </message>
    <message>
        <source>Z轴数据</source>
        <translation>Z axis</translation>
    </message>
    <message>
        <source>强度/反射率</source>
        <translation>Intensity</translation>
    </message>
    <message>
        <source>多帧数据统计</source>
        <translation>Multi-frame statistics</translation>
    </message>
    <message>
        <source>测试次数</source>
        <translation>Frames</translation>
    </message>
</context>
<context>
    <name>Dialog_Detect_Raxo</name>
    <message>
        <source>Dialog</source>
        <translation>Factory Test</translation>
    </message>
    <message>
        <source>5CM定高地面检测</source>
        <translation>5 cm fixed-height ground test</translation>
    </message>
    <message>
        <source>  检测总点数:</source>
        <translation>  Points tested:</translation>
    </message>
    <message>
        <source>连续检测帧数</source>
        <translation>Frames per run</translation>
    </message>
    <message>
        <source>合格率</source>
        <translation>Required pass rate</translation>
    </message>
    <message>
        <source>强度分布不均匀</source>
        <translation>Uneven intensity distribution</translation>
    </message>
    <message>
        <source>启用</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source> 均值差阈值:</source>
        <translation> Mean difference threshold:</translation>
    </message>
    <message>
        <source> 标准差阈值:</source>
        <translation> Std dev difference threshold:</translation>
    </message>
    <message>
        <source>判断标准:左右每隔10度，取强度的最大最小值，比对差值(最大-最大 最小-最小，然后较大值与阈值比对)</source>
        <translation>Criterion: in 10-degree steps to the left and right, take the largest and smallest intensity and compare them pairwise (largest with largest, smallest with smallest), then the larger difference with the threshold</translation>
    </message>
    <message>
        <source>单侧边缘堆叠/两侧地面起翘不一致</source>
        <translation>Edge stacked on one side / floor lifted unevenly on the two sides</translation>
    </message>
    <message>
        <source>水平距离差(X轴)阈值(mm):</source>
        <translation>Horizontal difference (X) threshold (mm):</translation>
    </message>
    <message>
        <source>齐平性(Z轴)阈值(mm):</source>
        <translation>Level (Z) threshold (mm):</translation>
    </message>
    <message>
        <source>抬升高度差阈值(mm):</source>
        <translation>Lift difference threshold (mm):</translation>
    </message>
    <message>
        <source>下方分层</source>
        <translation>Floor layering</translation>
    </message>
    <message>
        <source> 地面厚度(mm):</source>
        <translation> Floor thickness (mm):</translation>
    </message>
    <message>
        <source>上方噪点</source>
        <translation>Noise above</translation>
    </message>
    <message>
        <source> 噪点数量阈值:</source>
        <translation> Noise point threshold:</translation>
    </message>
    <message>
        <source>判断标准: 在已圈选数据 获取Z轴上方的点数量</source>
        <translation>Criterion: the number of selected points above the sensor (Z)</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>      中止</source>
        <translation>      Stop</translation>
    </message>
    <message>
        <source> 清空日志</source>
        <translation> Clear log</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;black&apos;&gt;检测结束,测试次数:%1 成功次数:%2 强度均匀检测成功次数:%3 边缘齐平性检测成功次数:%4 地面分层检测成功次数:%5 上方噪点检测成功次数:%6&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;black&apos;&gt;Test finished, frames tested:%1 passed:%2 intensity uniformity passed:%3 edge flatness passed:%4 ground layering passed:%5 upper noise passed:%6&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;green&apos;&gt;成功，通过率:%1&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;green&apos;&gt;Passed, pass rate:%1&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;失败，通过率:%1&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos;&gt;Failed, pass rate:%1&lt;/font&gt;</translation>
    </message>
    <message>
        <source>强度分布均匀检测:点云数据异常</source>
        <translation>Intensity uniformity: abnormal point cloud data</translation>
    </message>
    <message>
        <source>强度均匀检测:%1 平均差值:%2 参照值:%3 标准差值:%4 参照值:%5</source>
        <translation>Intensity uniformity:%1 mean difference:%2 reference:%3 std dev difference:%4 reference:%5</translation>
    </message>
    <message>
        <source>边缘齐平性检测: %1  水平差值:%2  x 参照值 %3; 高度差值:%4 z 参照值:%5 ;高度差值:%6 z 参照值:%7</source>
        <translation>Edge flatness: %1  horizontal difference:%2  x reference %3; level difference:%4 z reference:%5 ;lift difference:%6 z reference:%7</translation>
    </message>
    <message>
        <source>地面分层检测:%1 厚度:%2 参照值:%3</source>
        <translation>Ground layering:%1 thickness:%2 reference:%3</translation>
    </message>
    <message>
        <source>上方噪点检测:%1 数量:%2 参照值:%3</source>
        <translation>Upper noise:%1 count:%2 reference:%3</translation>
    </message>
</context>
<context>
    <name>Dialog_Fix_Point_Detect</name>
    <message>
        <source>Dialog</source>
        <translation>Fixed Point Detection</translation>
    </message>
    <message>
        <source>定点数据模板</source>
        <translation>Fixed-point templates</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Raxo定点精度检测参数绑定(与上方绑定)</source>
        <translation>Raxo fixed-point accuracy parameters (bound to the table above)</translation>
    </message>
    <message>
        <source>fix point detect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>custom name </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>horizontal min angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>horizontal max angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vertical min angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vertical max angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x axis min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x axis max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>y axis min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>y axis max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z axis min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z axis max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>please choose one row delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_ObjectTrack</name>
    <message>
        <source>Dialog</source>
        <translation>Object Move Information</translation>
    </message>
    <message>
        <source>Object Move Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>center x</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>center y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>center z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>object name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>alarm type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>observe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>alarm</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_ParseData</name>
    <message>
        <source>Dialog</source>
        <translation>Data Analysis</translation>
    </message>
    <message>
        <source>圈选范围设置</source>
        <translation>Set range</translation>
    </message>
    <message>
        <source>重置圈选</source>
        <translation>Reset range</translation>
    </message>
    <message>
        <source>3σ过滤</source>
        <translation>3σ filter</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>保存定点参数</source>
        <translation>Save template</translation>
    </message>
    <message>
        <source>限制区域</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>垂直角度(度)</source>
        <translation>Vertical angle (°)</translation>
    </message>
    <message>
        <source>水平角度(度)</source>
        <translation>Horizontal angle (°)</translation>
    </message>
    <message>
        <source>X轴区间(米)</source>
        <translation>X range (m)</translation>
    </message>
    <message>
        <source>Y轴区间(米)</source>
        <translation>Y range (m)</translation>
    </message>
    <message>
        <source>Z轴区间(米)</source>
        <translation>Z range (m)</translation>
    </message>
    <message>
        <source>当前帧数据</source>
        <translation>Current frame</translation>
    </message>
    <message>
        <source>单帧数据统计</source>
        <translation>Points in frame</translation>
    </message>
    <message>
        <source>轴\参数</source>
        <translation>Axis</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>差值</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>平均值</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>标准差</source>
        <translation>Std dev</translation>
    </message>
    <message>
        <source>X轴数据</source>
        <translation>X axis</translation>
    </message>
    <message>
        <source>Y轴数据</source>
        <translation>Y axis</translation>
    </message>
    <message>
        <source>Z轴数据</source>
        <translation>Z axis</translation>
    </message>
    <message>
        <source>强度/反射率</source>
        <translation>Intensity</translation>
    </message>
    <message>
        <source>多帧数据统计</source>
        <translation>Multi-frame statistics</translation>
    </message>
    <message>
        <source>测试次数</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>测距夹角分析(测距目标:平面 测距角度:0°&lt;X&lt;45°)</source>
        <translation>Ranging angle analysis (target: plane, angle 0°&lt;X&lt;45°)</translation>
    </message>
    <message>
        <source>水平夹角</source>
        <translation>Horizontal angle</translation>
    </message>
    <message>
        <source>最小/最大/平均水平夹角</source>
        <translation>Min/max/mean horizontal angle</translation>
    </message>
    <message>
        <source>垂直夹角</source>
        <translation>Vertical angle</translation>
    </message>
    <message>
        <source>最小/最大/平均垂直夹角</source>
        <translation>Min/max/mean vertical angle</translation>
    </message>
    <message>
        <source>Z轴矩阵平均距离</source>
        <translation>Mean Z distance of the matrix</translation>
    </message>
    <message>
        <source>最小/最大/平均Z轴原始距离</source>
        <translation>Min/max/mean raw Z distance</translation>
    </message>
    <message>
        <source>补偿后Z轴距离</source>
        <translation>Compensated Z distance</translation>
    </message>
    <message>
        <source>最小/最大/平均补偿Z轴距离</source>
        <translation>Min/max/mean compensated Z distance</translation>
    </message>
    <message>
        <source>Data Analysis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please input fix point custom name!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>custom name is repeat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>custom name and limits can not contain &quot;_&quot; or &quot;|&quot;!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_Software_Info</name>
    <message>
        <source>Dialog</source>
        <translation>Software Information</translation>
    </message>
    <message>
        <source>软件版本号：</source>
        <translation>Software version:</translation>
    </message>
    <message>
        <source>发布时间：</source>
        <translation>Release:</translation>
    </message>
    <message>
        <source>公司官网：</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>Software Information</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_VoxelFilter</name>
    <message>
        <source>Dialog</source>
        <translation>Voxel Filter Parameters</translation>
    </message>
    <message>
        <source>体素格栅大小(单位:m)</source>
        <translation>Voxel cell size (m)</translation>
    </message>
    <message>
        <source>单位格栅最小点数</source>
        <translation>Minimum points per cell</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Vitamin Filtration Parameters</source>
        <translation>Voxel Filter Parameters</translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The minimum number of points per cell must not exceed %1!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The voxel cell size must be a positive number of metres!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Graphics_Item_Data</name>
    <message>
        <source>X:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>angle:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID:%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HeartBeatProc</name>
    <message>
        <source>Reusing ADDR failed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bind failed with error %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>setsockopt:%1,set multicast error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>QuorvelView3D</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>custom format (*.dump)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wireshark data(*.pcap)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wireshark data (*.pcapng)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LAS data (*.las)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCL data (*.pcd)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar model select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caching is finish!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The log save path is not exist!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The log path does not have write permission, please change the path.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>writing log,write file path:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>write log start failed,write file path:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>write log finish,write file path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>recording lost %1 records so far: the disk does not keep up with the data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>recording lost %1 of %2 records: the disk did not keep up with the data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>recording stopped: writing %1 failed: %2; %3 records written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>save file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Point cloud image does not exist!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The point cloud file must end in .pcd or .las: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The point cloud file could not be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>point cloud saved,write file path:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日志信息</source>
        <translation>Log information</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>基本操作说明: shift + 鼠标拖动  = 平移    鼠标直接拖动 = 旋转视图  常用功能侧边栏，鼠标拖动至图标位置使用提示</source>
        <translation>Basic operation: shift + mouse drag = pan    mouse drag = rotate view    side bar of common functions: move the mouse onto an icon for its tip</translation>
    </message>
    <message>
        <source>Z Top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Bottom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Front</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rotate x</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rotate y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rotate z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coodinate show/hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> no filter part hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Circling the point cloud: After clicking, left mouse button (first point) and then right mouse button (second point) in the image, the circling is finished.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>intensity maps color by min-max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>data source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fenk-U</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Raxo-E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Raxo-S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vimo-E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Algorithm Box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>playback file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>backgroud color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>log config</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>big screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fix point edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>model train</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>voxel filter setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>voxel filter reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>only Vimo-E use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>please connect lidar first!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3D view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2D view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fenk-U property</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Raxo-E property</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vimo-E property</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Points data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parse data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>alarm zone property</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Language configuration must be rebooted to take effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (came %2 more times while it was shown)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Observe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar type:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>detected a new lidar online, with the same SN number as the last connected lidar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>detected that the current lidar heartbeat packet has disappeared</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware upgrade in progress, please wait </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MultiSelectComboBox</name>
    <message>
        <source>Search.........</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Admin</name>
    <message>
        <source>Form</source>
        <translation>Command Test</translation>
    </message>
    <message>
        <source>指令测试</source>
        <translation>Command test</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>TIME</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CMD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RETURN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>create cmd socket failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LSUDP is disabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no response</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Box</name>
    <message>
        <source>Form</source>
        <translation>Algorithm Box Configurator</translation>
    </message>
    <message>
        <source>可用算法盒子列表</source>
        <translation>Available algorithm boxes</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>雷达实时状态列表</source>
        <translation>Live sensor status</translation>
    </message>
    <message>
        <source>盒子网络配置</source>
        <translation>Box network</translation>
    </message>
    <message>
        <source>IP地址:</source>
        <translation>IP address:</translation>
    </message>
    <message>
        <source>掩码：</source>
        <translation>Mask:</translation>
    </message>
    <message>
        <source>网关：</source>
        <translation>Gateway:</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>硬件信息配置</source>
        <translation>Hardware information</translation>
    </message>
    <message>
        <source>SN号:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>MAC地址:</source>
        <translation>MAC address:</translation>
    </message>
    <message>
        <source>重启设备</source>
        <translation>Reboot device</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>mac地址设置后需要重启设备/上下电生效</source>
        <translation>A new MAC address takes effect after a reboot or a power cycle</translation>
    </message>
    <message>
        <source>盒子固件升级</source>
        <translation>Box firmware upgrade</translation>
    </message>
    <message>
        <source>当前版本：</source>
        <translation>Current version:</translation>
    </message>
    <message>
        <source>目录：</source>
        <translation>Path:</translation>
    </message>
    <message>
        <source>版本读取</source>
        <translation>Read version</translation>
    </message>
    <message>
        <source>选择固件</source>
        <translation>Choose firmware</translation>
    </message>
    <message>
        <source>升级固件</source>
        <translation>Upgrade firmware</translation>
    </message>
    <message>
        <source>增删雷达配置</source>
        <translation>Add or remove sensors</translation>
    </message>
    <message>
        <source>可选列表</source>
        <translation>Available</translation>
    </message>
    <message>
        <source>已选列表IO口A</source>
        <translation>Selected, IO port A</translation>
    </message>
    <message>
        <source>已选列表IO口B</source>
        <translation>Selected, IO port B</translation>
    </message>
    <message>
        <source>移入IO口A</source>
        <translation>Move into IO port A</translation>
    </message>
    <message>
        <source>移出IO口A</source>
        <translation>Move out of IO port A</translation>
    </message>
    <message>
        <source>移入IO口B</source>
        <translation>Move into IO port B</translation>
    </message>
    <message>
        <source>移出IO口B</source>
        <translation>Move out of IO port B</translation>
    </message>
    <message>
        <source>手动编辑</source>
        <translation>Edit by hand</translation>
    </message>
    <message>
        <source>显示或隐藏详细配置</source>
        <translation>Show or hide details</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Algorithm Box Configurator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select the specified IP box first!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select the lidar to be connected first!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This IP is an internal IP or is occupied. Please choose another IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP/Mask/Gateway mismatch, please modify and try again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC address format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>box firmware file (*.bin)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>filename:%1 is not exist!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A firmware upgrade is in progress, please wait until it ends!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No available history files, please modify your Mac and try again!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>algorithm box is reboot!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC set ok!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SN set ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip:port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>please edit!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration already exists, please add it again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>add lidar config failed:format error,row:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>add lidar config failed:ip format error,row:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>add lidar config failed:port range error,row:%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Box_V0</name>
    <message>
        <source>Form</source>
        <translation>Algorithm Box Parameters</translation>
    </message>
    <message>
        <source>算法盒子防区设置</source>
        <translation>Algorithm box zone settings</translation>
    </message>
    <message>
        <source>过滤圈数</source>
        <translation>Filter circles</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>过滤点数</source>
        <translation>Filter points</translation>
    </message>
    <message>
        <source>数据上传方式</source>
        <translation>Upload data</translation>
    </message>
    <message>
        <source>原始数据</source>
        <translation>Raw data</translation>
    </message>
    <message>
        <source>修正数据</source>
        <translation>Corrected data</translation>
    </message>
    <message>
        <source>报警数据</source>
        <translation>Alarm data</translation>
    </message>
    <message>
        <source>对比帧标定</source>
        <translation>Calibrate ref. frame</translation>
    </message>
    <message>
        <source>雷达高度</source>
        <translation>Lidar height</translation>
    </message>
    <message>
        <source>补偿距离(mm)</source>
        <translation>Comp. distance(mm)</translation>
    </message>
    <message>
        <source>扫描最少点位:</source>
        <translation>Min scan points:</translation>
    </message>
    <message>
        <source>图标显示</source>
        <translation>Show icons</translation>
    </message>
    <message>
        <source>自定义报警参数</source>
        <translation>Custom alarm parameters</translation>
    </message>
    <message>
        <source>长(mm)</source>
        <translation>Length(mm)</translation>
    </message>
    <message>
        <source>宽(mm)</source>
        <translation>Width(mm)</translation>
    </message>
    <message>
        <source>高(mm)</source>
        <translation>Height(mm)</translation>
    </message>
    <message>
        <source>叉车</source>
        <translation>Forklift</translation>
    </message>
    <message>
        <source>I/O配置</source>
        <translation>I/O configuration</translation>
    </message>
    <message>
        <source>输出1默认开</source>
        <translation>Output 1 on by default</translation>
    </message>
    <message>
        <source>输出2默认开</source>
        <translation>Output 2 on by default</translation>
    </message>
    <message>
        <source>输出3默认开</source>
        <translation>Output 3 on by default</translation>
    </message>
    <message>
        <source>输出4默认开</source>
        <translation>Output 4 on by default</translation>
    </message>
    <message>
        <source>PNP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NPN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出映射</source>
        <translation>Output mapping</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>观察</source>
        <translation>Observe</translation>
    </message>
    <message>
        <source>警戒</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>具体报警信息</source>
        <translation>Alarm details</translation>
    </message>
    <message>
        <source>对象\功能</source>
        <translation>Object\Function</translation>
    </message>
    <message>
        <source>观察区</source>
        <translation>Observe zone</translation>
    </message>
    <message>
        <source>警戒区</source>
        <translation>Warning zone</translation>
    </message>
    <message>
        <source>报警区</source>
        <translation>Alarm zone</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>人</source>
        <translation>Person</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>车</source>
        <translation>Vehicle</translation>
    </message>
    <message>
        <source>整体</source>
        <translation>All</translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The command is too long to send!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>init first frame</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set circle num</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set filter point num</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set car detect factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set near points factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set pnp/npn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set IO board output param</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set upload data type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lidar height must be between 0 and 65.535 m!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar height</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_DrawZone</name>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The number of alarm zones more than the maximum limit!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current parameter cannot all zero!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current parameter cannot form a sector!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sector near distance  cannot be less than 10mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current parameter cannot form a rectangle!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zone ID:%1:The number of alarm zones more than the maximum limit!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DrawZone Tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>绘制图形</source>
        <translation>Draw shapes</translation>
    </message>
    <message>
        <source>ellipse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sector</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>polygon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZoneID:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>area:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shape:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.Observation area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2.Warning area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3.Alarm area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.ellipse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2.rect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3.sector</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4.polygon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Subtract</translation>
    </message>
    <message>
        <source>参数坐标</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Center X:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center Y:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Width:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Height:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>多边形绘制说明：使用鼠标左键点击表示顶点，鼠标右键表示连成矩形（请保证至少3个点）</source>
        <translation>Polygon drawing: left-click to place each vertex, right-click to close the shape (at least 3 points)</translation>
    </message>
    <message>
        <source>硬件写入</source>
        <translation>Device zones</translation>
    </message>
    <message>
        <source>当前编辑防区</source>
        <translation>Editing zone</translation>
    </message>
    <message>
        <source>切换防区</source>
        <translation>Active zone</translation>
    </message>
    <message>
        <source>复制防区</source>
        <translation>Copy zone</translation>
    </message>
    <message>
        <source>清空防区</source>
        <translation>Clear zone</translation>
    </message>
    <message>
        <source>读取防区</source>
        <translation>Read zones</translation>
    </message>
    <message>
        <source>写入防区</source>
        <translation>Write zones</translation>
    </message>
    <message>
        <source>Num</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buttom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End angle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Far distance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Near distance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>!!! %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Hoby_U</name>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sn is too long (at most %1 bytes)!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip.mask.gatewat.port  format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar ip mask gateway port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>target ip.port  format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar upload ip port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>data type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pwn set range(0,100)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pwm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>confidence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>distance fitter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware(*.bin *.lhl)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Hoby_UClass</name>
    <message>
        <source>Page_Hoby_U</source>
        <translation>LDS-Fenk-U Configuration</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>Basic info</translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>A板SN号</source>
        <translation>Board A SN</translation>
    </message>
    <message>
        <source>软件版本号</source>
        <translation>Software version</translation>
    </message>
    <message>
        <source>硬件版本号</source>
        <translation>Hardware version</translation>
    </message>
    <message>
        <source>主板sn号</source>
        <translation>Main board SN</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>占空比</source>
        <translation>Duty cycle</translation>
    </message>
    <message>
        <source>置信度过滤</source>
        <translation>Confidence filter</translation>
    </message>
    <message>
        <source> 过滤阈值</source>
        <translation> Threshold</translation>
    </message>
    <message>
        <source>距离过滤</source>
        <translation>Distance filter</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>其他参数</source>
        <translation>Other parameters</translation>
    </message>
    <message>
        <source>固定上传</source>
        <translation>Fixed upload</translation>
    </message>
    <message>
        <source>校准调试</source>
        <translation>Calibration debug</translation>
    </message>
    <message>
        <source>通讯参数</source>
        <translation>Communication</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>Device parameters</translation>
    </message>
    <message>
        <source>雷达ip</source>
        <translation>Lidar IP</translation>
    </message>
    <message>
        <source>雷达掩码</source>
        <translation>Lidar mask</translation>
    </message>
    <message>
        <source>雷达网关</source>
        <translation>Lidar gateway</translation>
    </message>
    <message>
        <source>雷达端口</source>
        <translation>Lidar port</translation>
    </message>
    <message>
        <source>上传ip</source>
        <translation>Upload IP</translation>
    </message>
    <message>
        <source>上传端口</source>
        <translation>Upload port</translation>
    </message>
    <message>
        <source>上传数据类型</source>
        <translation>Upload data type</translation>
    </message>
    <message>
        <source>点云</source>
        <translation>Point cloud</translation>
    </message>
    <message>
        <source>距离</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>置信度</source>
        <translation>Confidence</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>深度域</source>
        <translation>Deep field</translation>
    </message>
    <message>
        <source>固件设置</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware upgrade</translation>
    </message>
    <message>
        <source>当前路径:</source>
        <translation>Current path:</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
</context>
<context>
    <name>Page_Raxo_E</name>
    <message>
        <source>observe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>alarm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, output %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no value selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>compare frame </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>query network err</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>get algorithm parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip.mask.gatewat.port  format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar ip mask gateway port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>target ip.port  format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar upload ip port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imu parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pointdata upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dev status upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>alarm upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>distance filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>intensity filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>filter algorithm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>time area filter algorithm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>close range clutter </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imu type </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imu acc </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imu gyro </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imu filter level </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>imu sample rate </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>algorithm parameters not read yet, press refresh first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>circle filter num is out of range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>filter filter num is out of range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>circle and point filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>offset distance isout of range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>offset distance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>algorithm  enable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> set lidar height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4 channel out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>model bind 4 channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4 channel PNP/NPN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware(*.bin *.lhl)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware name does not conform to specification</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Raxo_EClass</name>
    <message>
        <source>Page_Raxo_E</source>
        <translation>LDS-Raxo Configuration</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>Basic info</translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>软件版本号</source>
        <translation>Software version</translation>
    </message>
    <message>
        <source>硬件版本号</source>
        <translation>Hardware version</translation>
    </message>
    <message>
        <source>主板sn号</source>
        <translation>Main board SN</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>启动</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>读取断网情况</source>
        <translation>Read network losses</translation>
    </message>
    <message>
        <source>灰度图显示</source>
        <translation>Grey image</translation>
    </message>
    <message>
        <source>数据参数</source>
        <translation>Data parameters</translation>
    </message>
    <message>
        <source>距离过滤</source>
        <translation>Distance filter</translation>
    </message>
    <message>
        <source>最小距离(mm)</source>
        <translation>Min. distance (mm)</translation>
    </message>
    <message>
        <source>最大距离(mm)</source>
        <translation>Max. distance (mm)</translation>
    </message>
    <message>
        <source>能量过滤</source>
        <translation>Energy filter</translation>
    </message>
    <message>
        <source>最小距离内的最小能量</source>
        <translation>Near min. energy</translation>
    </message>
    <message>
        <source>最小能量</source>
        <translation>Min. energy</translation>
    </message>
    <message>
        <source>滤波算法(掉电不保存)</source>
        <translation>Filter algorithm (not kept)</translation>
    </message>
    <message>
        <source>时域滤波距离</source>
        <translation>Time filter distance</translation>
    </message>
    <message>
        <source>0表示关闭</source>
        <translation>0 means off</translation>
    </message>
    <message>
        <source>近距离噪点</source>
        <translation>Close-range noise</translation>
    </message>
    <message>
        <source>室内最强峰阈值</source>
        <translation>Indoor 1st peak</translation>
    </message>
    <message>
        <source>室内次强峰阈值</source>
        <translation>Indoor 2nd peak</translation>
    </message>
    <message>
        <source>室外最强峰阈值</source>
        <translation>Outdoor 1st peak</translation>
    </message>
    <message>
        <source>室外次强峰阈值</source>
        <translation>Outdoor 2nd peak</translation>
    </message>
    <message>
        <source>IMU量程设置</source>
        <translation>IMU ranges</translation>
    </message>
    <message>
        <source>ACC量程(g):</source>
        <translation>ACC range (g):</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>  GYRO量程(dps):</source>
        <translation>  GYRO range (dps):</translation>
    </message>
    <message>
        <source>15.625</source>
        <translation>15.625</translation>
    </message>
    <message>
        <source>31.25</source>
        <translation>31.25</translation>
    </message>
    <message>
        <source>62.5</source>
        <translation>62.5</translation>
    </message>
    <message>
        <source>125</source>
        <translation>125</translation>
    </message>
    <message>
        <source>250</source>
        <translation>250</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>2000</source>
        <translation>2000</translation>
    </message>
    <message>
        <source> 设置</source>
        <translation> Set</translation>
    </message>
    <message>
        <source>    采样率</source>
        <translation>    Sample rate</translation>
    </message>
    <message>
        <source>25HZ</source>
        <translation>25HZ</translation>
    </message>
    <message>
        <source>50HZ</source>
        <translation>50HZ</translation>
    </message>
    <message>
        <source>100HZ</source>
        <translation>100HZ</translation>
    </message>
    <message>
        <source>200HZ</source>
        <translation>200HZ</translation>
    </message>
    <message>
        <source>ACC滤波等级</source>
        <translation>ACC filter level</translation>
    </message>
    <message>
        <source>采样率/2</source>
        <translation>Sample rate/2</translation>
    </message>
    <message>
        <source>采样率/4</source>
        <translation>Sample rate/4</translation>
    </message>
    <message>
        <source>采样率/5</source>
        <translation>Sample rate/5</translation>
    </message>
    <message>
        <source>采样率/8</source>
        <translation>Sample rate/8</translation>
    </message>
    <message>
        <source>采样率/10</source>
        <translation>Sample rate/10</translation>
    </message>
    <message>
        <source>采样率/16</source>
        <translation>Sample rate/16</translation>
    </message>
    <message>
        <source>采样率/20</source>
        <translation>Sample rate/20</translation>
    </message>
    <message>
        <source>采样率/40</source>
        <translation>Sample rate/40</translation>
    </message>
    <message>
        <source> GYRO滤波等级</source>
        <translation> GYRO filter level</translation>
    </message>
    <message>
        <source>IMU参数设置</source>
        <translation>IMU parameters</translation>
    </message>
    <message>
        <source>零偏</source>
        <translation>Zero bias</translation>
    </message>
    <message>
        <source>x</source>
        <translation>x</translation>
    </message>
    <message>
        <source>y</source>
        <translation>y</translation>
    </message>
    <message>
        <source>z</source>
        <translation>z</translation>
    </message>
    <message>
        <source>加速度</source>
        <translation>Acceleration</translation>
    </message>
    <message>
        <source>角速度</source>
        <translation>Angular rate</translation>
    </message>
    <message>
        <source>零位校准</source>
        <translation>Zero calibration</translation>
    </message>
    <message>
        <source>外参</source>
        <translation>Extrinsics</translation>
    </message>
    <message>
        <source>通讯参数</source>
        <translation>Communication</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>Device parameters</translation>
    </message>
    <message>
        <source>雷达ip</source>
        <translation>Lidar IP</translation>
    </message>
    <message>
        <source>雷达掩码</source>
        <translation>Lidar mask</translation>
    </message>
    <message>
        <source>雷达网关</source>
        <translation>Lidar gateway</translation>
    </message>
    <message>
        <source>雷达端口</source>
        <translation>Lidar port</translation>
    </message>
    <message>
        <source>上传ip</source>
        <translation>Upload IP</translation>
    </message>
    <message>
        <source>上传端口</source>
        <translation>Upload port</translation>
    </message>
    <message>
        <source>上传类型</source>
        <translation>Upload kinds</translation>
    </message>
    <message>
        <source>点云数据包</source>
        <translation>Point-cloud packets</translation>
    </message>
    <message>
        <source>不上传</source>
        <translation>No upload</translation>
    </message>
    <message>
        <source>单回波(360X150)</source>
        <translation>Single echo (360X150)</translation>
    </message>
    <message>
        <source>单回波抽点(360X75)</source>
        <translation>Single echo, thinned (360X75)</translation>
    </message>
    <message>
        <source>双回波(360X150)</source>
        <translation>Dual echo (360X150)</translation>
    </message>
    <message>
        <source>单回波抽点(180X75)</source>
        <translation>Single echo, thinned (180X75)</translation>
    </message>
    <message>
        <source>设备状态包</source>
        <translation>Device status packets</translation>
    </message>
    <message>
        <source>上传</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>防区报警信息</source>
        <translation>Zone alarm information</translation>
    </message>
    <message>
        <source>IMU类型</source>
        <translation>IMU type</translation>
    </message>
    <message>
        <source>外置imu</source>
        <translation>External IMU</translation>
    </message>
    <message>
        <source>板载imu</source>
        <translation>On-board IMU</translation>
    </message>
    <message>
        <source>IO与固件设置</source>
        <translation>IO and firmware</translation>
    </message>
    <message>
        <source>输出映射</source>
        <translation>Output mapping</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>I/O配置</source>
        <translation>I/O configuration</translation>
    </message>
    <message>
        <source>输出1默认开</source>
        <translation>Output 1 on by default</translation>
    </message>
    <message>
        <source>NPN</source>
        <translation>NPN</translation>
    </message>
    <message>
        <source>PNP</source>
        <translation>PNP</translation>
    </message>
    <message>
        <source>输出2默认开</source>
        <translation>Output 2 on by default</translation>
    </message>
    <message>
        <source>输出3默认开</source>
        <translation>Output 3 on by default</translation>
    </message>
    <message>
        <source>输出4默认开</source>
        <translation>Output 4 on by default</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware upgrade</translation>
    </message>
    <message>
        <source>当前路径:</source>
        <translation>Current path:</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>Choose firmware file</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>算法参数</source>
        <translation>Algorithm</translation>
    </message>
    <message>
        <source>基本参数</source>
        <translation>Basic parameters</translation>
    </message>
    <message>
        <source>算法开关</source>
        <translation>Algorithm on</translation>
    </message>
    <message>
        <source>过滤阈值(cm)</source>
        <translation>Filter threshold (cm)</translation>
    </message>
    <message>
        <source>10-20</source>
        <translation>10-20</translation>
    </message>
    <message>
        <source>过滤圈数</source>
        <translation>Filter rings</translation>
    </message>
    <message>
        <source>过滤点数</source>
        <translation>Filter points</translation>
    </message>
    <message>
        <source>1-100</source>
        <translation>1-100</translation>
    </message>
    <message>
        <source>连续帧数</source>
        <translation>Consecutive frames</translation>
    </message>
    <message>
        <source>圈选最小点数</source>
        <translation>Min. points of an object</translation>
    </message>
    <message>
        <source>10-100</source>
        <translation>10-100</translation>
    </message>
    <message>
        <source>水平地面显示</source>
        <translation>Level-ground display</translation>
    </message>
    <message>
        <source>物体框选</source>
        <translation>Object boxes</translation>
    </message>
    <message>
        <source>水平高度(mm)</source>
        <translation>Mounting height (m)</translation>
    </message>
    <message>
        <source>自动修正</source>
        <translation>Auto correction</translation>
    </message>
    <message>
        <source>手动修正</source>
        <translation>Manual correction</translation>
    </message>
    <message>
        <source>控制功能</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>校准帧标定</source>
        <translation>Mark calibration frame</translation>
    </message>
    <message>
        <source>点云跟踪数据</source>
        <translation>Tracking data</translation>
    </message>
    <message>
        <source>防区参数</source>
        <translation>Zones</translation>
    </message>
</context>
<context>
    <name>Page_Vimo_E</name>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar ptp :%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>enable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>disable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar uploadfix :%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar uploadfix enable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dev param</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>debug query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>temperature query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip.mask.gatewat.port  format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar ip mask gateway port ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>target ip.port  format error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set lidar upload ip :%1 port:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>display time range(1,99)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware(*.bin *.lhl)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Page_Vimo_EClass</name>
    <message>
        <source>Page_Vimo_E</source>
        <translation>LDS-Vimo-E Configuration</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>Basic info</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>SN号</source>
        <translation>SN</translation>
    </message>
    <message>
        <source>动作控制</source>
        <translation>Motion control</translation>
    </message>
    <message>
        <source>开始旋转</source>
        <translation>Start rotating</translation>
    </message>
    <message>
        <source>停止旋转</source>
        <translation>Stop rotating</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>Device parameters</translation>
    </message>
    <message>
        <source>雷达ip</source>
        <translation>Lidar IP</translation>
    </message>
    <message>
        <source>雷达掩码</source>
        <translation>Lidar mask</translation>
    </message>
    <message>
        <source>雷达网关</source>
        <translation>Lidar gateway</translation>
    </message>
    <message>
        <source>雷达端口</source>
        <translation>Lidar port</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>上传ip</source>
        <translation>Upload IP</translation>
    </message>
    <message>
        <source>上传端口</source>
        <translation>Upload port</translation>
    </message>
    <message>
        <source>固定上传</source>
        <translation>Fixed upload</translation>
    </message>
    <message>
        <source>PTP时间同步</source>
        <translation>PTP time sync</translation>
    </message>
    <message>
        <source>输出参数</source>
        <translation>Output parameters</translation>
    </message>
    <message>
        <source>显示时间:</source>
        <translation>Display time:</translation>
    </message>
    <message>
        <source>说明:在界面上显示多少时间的点云,单位(100ms)</source>
        <translation>Note: how long the point cloud stays on screen, in units of 100 ms</translation>
    </message>
    <message>
        <source>固件设置</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware upgrade</translation>
    </message>
    <message>
        <source>当前路径:</source>
        <translation>Current path:</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>调试信息</source>
        <translation>Debug info</translation>
    </message>
    <message>
        <source>异常查询</source>
        <translation>Fault query</translation>
    </message>
    <message>
        <source>底板和机头温度查询</source>
        <translation>Base board and head temperature query</translation>
    </message>
</context>
<context>
    <name>PlaybackProc</name>
    <message>
        <source>drop package last index: %1 now index:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pointcloud packet length error:  %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> mirror :%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> main motor:%1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The playback file is open failed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The playback file is  too large,maximum 100M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The playback file is  too small,minmum 4K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>playback cache end, package num:%1 framenum:%2 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The playback file is open failed!:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can not open las file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can not open pcd file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The playback file is not a regular file: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PointCloudUI</name>
    <message>
        <source>detect zone draw</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum distance of graphic drawing cannot exceed 40 meters!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>debug infomation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warm infomation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error infomation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>run state</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zone monitor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware motor upgrades</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware mcu upgrades</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>detect zone  upgrades</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>model upgrades</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>algorithm info upgrades</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cmd infomation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>log infomation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>system reboot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LDS-Fenk-U</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LDS-Raxo-E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LDS-Raxo-S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LDS-Vimo-E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Algorithm Box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown lidar model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>socket receive buffer is %1 bytes, %2 asked: packets may be lost at high rates; raise the limit with: sysctl -w net.core.rmem_max=%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frame dropped: more than %1 points without a frame end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar data reception is ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar disconnect ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open socket failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (came %2 times)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a reply of the device left out: replies came faster than the window takes them</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecvBoxDataProc</name>
    <message>
        <source>Disconnect lidar connection successful</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecvDataProc</name>
    <message>
        <source>trans time:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update NG:%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecvDataProc2</name>
    <message>
        <source>update OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update NG:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zone write error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zone write %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zone read %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>detect model load %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>trans time:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to send command,trying to reconnect...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open data socket failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open cmd socket failed,code:%1 %2 %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecvDataProc3</name>
    <message>
        <source>pointcloud packet length error:%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> mirror :%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> main motor:%1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>update NG:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>listen port open failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware update start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open listen port failed:%1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to load firmware upgrade file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>load firmware file ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send flash erase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send cmd more than three times without answering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>receive OP_WRITE_IAP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware file update success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>receive OP_FLASH_ERASE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send OP_WRITE_IAP</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>View3DScene</name>
    <message>
        <source>point size set:%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZONEALARM::ZoneAlarm</name>
    <message>
        <source>read alarm zone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>write alarm zone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>query</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ALL CRC verification failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The alarm zone is not initialized or there is an error writing. Please clear the alarm zone and read again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error:%1 + %2 &gt; %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sub packet len %1 !=512</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>offset:%1 total:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sub packet hole %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>crc error:PC:%1 :MCU:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bad zone header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>crc error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>init</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZoneDef already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>package head is error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OP_ZONE_ERASE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OP_ZONE_RELOAD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>timeout</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_TrainData</name>
    <message>
        <source>Dialog</source>
        <translation>Model Training</translation>
    </message>
    <message>
        <source>模型列表</source>
        <translation>Model list</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>加载雷达缓存</source>
        <translation>Load sensor cache</translation>
    </message>
    <message>
        <source>写入在线雷达</source>
        <translation>Write to online sensor</translation>
    </message>
    <message>
        <source>导入异常模型</source>
        <translation>Add abnormal model</translation>
    </message>
    <message>
        <source>模型参数</source>
        <translation>Model parameters</translation>
    </message>
    <message>
        <source>距离阈值</source>
        <translation>Distance threshold</translation>
    </message>
    <message>
        <source>异常点数阈值</source>
        <translation>Abnormal point threshold</translation>
    </message>
    <message>
        <source>运动检测阈值</source>
        <translation>Motion detection threshold</translation>
    </message>
    <message>
        <source>训练对象名称</source>
        <translation>Training object name</translation>
    </message>
    <message>
        <source>模型训练</source>
        <translation>Model training</translation>
    </message>
    <message>
        <source>选择训练数据</source>
        <translation>Choose training data</translation>
    </message>
    <message>
        <source>选择测试数据</source>
        <translation>Choose test data</translation>
    </message>
    <message>
        <source>开始训练</source>
        <translation>Start training</translation>
    </message>
    <message>
        <source>终止训练</source>
        <translation>Stop training</translation>
    </message>
    <message>
        <source>测试模式</source>
        <translation>Test mode</translation>
    </message>
    <message>
        <source>清空日志</source>
        <translation>Clear log</translation>
    </message>
    <message>
        <source>object name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sample num</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The train object name must not be empty nor hold white space!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The train data file path is open failed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data file is too large to read: %1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>read file ok,pointcloud packet:%1 imu packet:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>read imu ok,pitch:%1 roll:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>read imu ng</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>read pointcloud  ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>train end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reload train model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>delete model name:%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>create abnormal model:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>train data (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>test data (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>model file (*.bin)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>import file ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>import file failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>export file ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>export file failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>load model file failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The maximum number of models is 8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading models to a sensor is not available; the model file was saved to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MessageLog</name>
    <message>
        <source>%1 messages left out</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>get lidar parameters  OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IMU calibrate  OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 SET OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 SET NG  code:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 GET OK,timestamp:%2 count:%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 SET %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mcu temperature:%1 motor temperature:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Multiple simultaneous connections to the host computer exist!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
