<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AlgorithmBoxProc</name>
    <message>
        <source>open BOXPORT failed!</source>
        <translation>打开BOXPORT失败!</translation>
    </message>
    <message>
        <source>firmware upgrade OK!</source>
        <translation>固件升级成功!</translation>
    </message>
    <message>
        <source>firmware upgrade NG!</source>
        <translation>固件升级失败!</translation>
    </message>
</context>
<context>
    <name>BGraphicsItem</name>
    <message>
        <source>refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>filter</source>
        <translation>过滤</translation>
    </message>
    <message>
        <source>add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>BPolygon</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Polygon vertices cannot more than 20,please redraw!</source>
        <translation>多边形顶点不能超过20个,请重新绘制!</translation>
    </message>
</context>
<context>
    <name>Component_LogOperate</name>
    <message>
        <source>Form</source>
        <translation>回放控制</translation>
    </message>
    <message>
        <source>first</source>
        <translation>第一帧</translation>
    </message>
    <message>
        <source>previous</source>
        <translation>上一帧</translation>
    </message>
    <message>
        <source>play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>next</source>
        <translation>下一帧</translation>
    </message>
    <message>
        <source>last</source>
        <translation>最后一帧</translation>
    </message>
    <message>
        <source>videoCamera</source>
        <translation>录制</translation>
    </message>
    <message>
        <source>camera</source>
        <translation>快照</translation>
    </message>
    <message>
        <source>progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>playback progress value</source>
        <translation>回放进度值</translation>
    </message>
    <message>
        <source>play rate</source>
        <translation>播放速率</translation>
    </message>
    <message>
        <source>play source path:</source>
        <translation>播放源路径:</translation>
    </message>
    <message>
        <source>Playback is end!</source>
        <translation>回放结束!</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>No data can be playeback!</source>
        <translation>没有可回放的数据!</translation>
    </message>
    <message>
        <source>Not available Valid data sources can be playeback!</source>
        <translation>没有可用的有效数据源可回放!</translation>
    </message>
</context>
<context>
    <name>Dialog_AllData</name>
    <message>
        <source>Index</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>distance</source>
        <translation>距离</translation>
    </message>
    <message>
        <source>confidence</source>
        <translation>置信度</translation>
    </message>
    <message>
        <source>depth</source>
        <translation>深度</translation>
    </message>
    <message>
        <source>deep field</source>
        <translation>景深</translation>
    </message>
    <message>
        <source>Dialog</source>
        <translation>点云数据表</translation>
    </message>
    <message>
        <source>总点数：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上一页</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>页码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>跳转</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下一页</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>row%1</source>
        <translation>第%1块</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Set page number error, current page range[1,%2]</source>
        <translation>页码设置错误，当前页码范围[1,%2]</translation>
    </message>
</context>
<context>
    <name>Dialog_Config</name>
    <message>
        <source>Dialog</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>日志参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日志保存路径</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Config</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>打开目录</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The log path does not have write permission, please change the path.</source>
        <translation>日志路径没有写权限,请更换路径。</translation>
    </message>
</context>
<context>
    <name>Dialog_Connect</name>
    <message>
        <source>Dialog</source>
        <translation>设备连接信息</translation>
    </message>
    <message>
        <source>本地监听端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Connection Information</source>
        <translation>设备连接信息</translation>
    </message>
    <message>
        <source>Num </source>
        <translation>序号 </translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>SN</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>子网掩码</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>网关</translation>
    </message>
    <message>
        <source>ListenPort</source>
        <translation>监听端口</translation>
    </message>
    <message>
        <source>UploadIP</source>
        <translation>上传IP</translation>
    </message>
    <message>
        <source>UploadPort</source>
        <translation>上传端口</translation>
    </message>
    <message>
        <source>Mac</source>
        <translation>Mac</translation>
    </message>
    <message>
        <source>RPM</source>
        <translation>转速</translation>
    </message>
    <message>
        <source>Delay(s)</source>
        <translation>延时(s)</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The range of values for the host listening port (1000,65535)</source>
        <translation>主机监听端口的取值范围(1000,65535)</translation>
    </message>
    <message>
        <source>Please select the lidar to be connected first</source>
        <translation>请先选择要连接的雷达</translation>
    </message>
</context>
<context>
    <name>Dialog_Debug</name>
    <message>
        <source>Dialog</source>
        <translation>调试视图</translation>
    </message>
    <message>
        <source>有效点-灰度图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强度-灰度图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3σ定律99.7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前帧数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总点数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>轴\参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>差值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准差</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单项点数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X轴数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y轴数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z轴数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强度/反射率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>多帧数据统计</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试次数</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_Detect_Raxo</name>
    <message>
        <source>Dialog</source>
        <translation>出厂测试</translation>
    </message>
    <message>
        <source>5CM定高地面检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  检测总点数:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连续检测帧数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强度分布不均匀</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 均值差阈值:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 标准差阈值:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>判断标准:左右每隔10度，取强度的最大最小值，比对差值(最大-最大 最小-最小，然后较大值与阈值比对)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单侧边缘堆叠/两侧地面起翘不一致</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平距离差(X轴)阈值(mm):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>齐平性(Z轴)阈值(mm):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>抬升高度差阈值(mm):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下方分层</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 地面厚度(mm):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上方噪点</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 噪点数量阈值:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>判断标准: 在已圈选数据 获取Z轴上方的点数量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>      中止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 清空日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;black&apos;&gt;检测结束,测试次数:%1 成功次数:%2 强度均匀检测成功次数:%3 边缘齐平性检测成功次数:%4 地面分层检测成功次数:%5 上方噪点检测成功次数:%6&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;green&apos;&gt;成功，通过率:%1&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;失败，通过率:%1&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强度分布均匀检测:点云数据异常</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强度均匀检测:%1 平均差值:%2 参照值:%3 标准差值:%4 参照值:%5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>边缘齐平性检测: %1  水平差值:%2  x 参照值 %3; 高度差值:%4 z 参照值:%5 ;高度差值:%6 z 参照值:%7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地面分层检测:%1 厚度:%2 参照值:%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上方噪点检测:%1 数量:%2 参照值:%3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialog_Fix_Point_Detect</name>
    <message>
        <source>Dialog</source>
        <translation>定点检测</translation>
    </message>
    <message>
        <source>定点数据模板</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Raxo定点精度检测参数绑定(与上方绑定)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fix point detect</source>
        <translation>定点检测</translation>
    </message>
    <message>
        <source>custom name </source>
        <translation>自定义名称</translation>
    </message>
    <message>
        <source>horizontal min angle</source>
        <translation>水平最小角度</translation>
    </message>
    <message>
        <source>horizontal max angle</source>
        <translation>水平最大角度</translation>
    </message>
    <message>
        <source>vertical min angle</source>
        <translation>垂直最小角度</translation>
    </message>
    <message>
        <source>vertical max angle</source>
        <translation>垂直最大角度</translation>
    </message>
    <message>
        <source>x axis min</source>
        <translation>X轴最小值</translation>
    </message>
    <message>
        <source>x axis max</source>
        <translation>X轴最大值</translation>
    </message>
    <message>
        <source>y axis min</source>
        <translation>Y轴最小值</translation>
    </message>
    <message>
        <source>y axis max</source>
        <translation>Y轴最大值</translation>
    </message>
    <message>
        <source>z axis min</source>
        <translation>Z轴最小值</translation>
    </message>
    <message>
        <source>z axis max</source>
        <translation>Z轴最大值</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>please choose one row delete</source>
        <translation>请选择要删除的一行</translation>
    </message>
</context>
<context>
    <name>Dialog_ObjectTrack</name>
    <message>
        <source>Dialog</source>
        <translation>目标移动信息</translation>
    </message>
    <message>
        <source>Object Move Information</source>
        <translation>目标移动信息</translation>
    </message>
    <message>
        <source>id</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>center x</source>
        <translation>中心x</translation>
    </message>
    <message>
        <source>center y</source>
        <translation>中心y</translation>
    </message>
    <message>
        <source>center z</source>
        <translation>中心z</translation>
    </message>
    <message>
        <source>length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>width</source>
        <translation>宽度</translation>
    </message>
    <message>
        <source>height</source>
        <translation>高度</translation>
    </message>
    <message>
        <source>object name</source>
        <translation>目标名称</translation>
    </message>
    <message>
        <source>alarm type</source>
        <translation>报警类型</translation>
    </message>
    <message>
        <source>time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>observe</source>
        <translation>观察</translation>
    </message>
    <message>
        <source>warm</source>
        <translation>预警</translation>
    </message>
    <message>
        <source>alarm</source>
        <translation>报警</translation>
    </message>
</context>
<context>
    <name>Dialog_ParseData</name>
    <message>
        <source>Dialog</source>
        <translation>数据分析</translation>
    </message>
    <message>
        <source>圈选范围设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重置圈选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3σ过滤</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存定点参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>限制区域</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>垂直角度(度)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平角度(度)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X轴区间(米)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y轴区间(米)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z轴区间(米)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前帧数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单帧数据统计</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>轴\参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>差值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准差</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X轴数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y轴数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z轴数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强度/反射率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>多帧数据统计</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试次数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测距夹角分析(测距目标:平面 测距角度:0°&lt;X&lt;45°)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平夹角</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小/最大/平均水平夹角</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>垂直夹角</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小/最大/平均垂直夹角</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z轴矩阵平均距离</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小/最大/平均Z轴原始距离</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>补偿后Z轴距离</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小/最大/平均补偿Z轴距离</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data Analysis</source>
        <translation>数据分析</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Please input fix point custom name!</source>
        <translation>请输入定点自定义名称!</translation>
    </message>
    <message>
        <source>custom name is repeat</source>
        <translation>自定义名称重复</translation>
    </message>
    <message>
        <source>custom name and limits can not contain &quot;_&quot; or &quot;|&quot;!</source>
        <translation>自定义名称和限制值不能包含&quot;_&quot;或&quot;|&quot;!</translation>
    </message>
</context>
<context>
    <name>Dialog_Software_Info</name>
    <message>
        <source>Dialog</source>
        <translation>软件信息</translation>
    </message>
    <message>
        <source>软件版本号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发布时间：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司官网：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Software Information</source>
        <translation>软件信息</translation>
    </message>
</context>
<context>
    <name>Dialog_VoxelFilter</name>
    <message>
        <source>Dialog</source>
        <translation>体素滤波参数</translation>
    </message>
    <message>
        <source>体素格栅大小(单位:m)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单位格栅最小点数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vitamin Filtration Parameters</source>
        <translation>体素滤波参数</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The minimum number of points per cell must not exceed %1!</source>
        <translation>单位格栅最小点数不能超过%1!</translation>
    </message>
    <message>
        <source>The voxel cell size must be a positive number of metres!</source>
        <translation>体素格栅大小必须是正数(单位:m)!</translation>
    </message>
</context>
<context>
    <name>Graphics_Item_Data</name>
    <message>
        <source>X:%1</source>
        <translation>X:%1</translation>
    </message>
    <message>
        <source>Y:%1</source>
        <translation>Y:%1</translation>
    </message>
    <message>
        <source>angle:%1</source>
        <translation>角度:%1</translation>
    </message>
    <message>
        <source>ID:%1</source>
        <translation>ID:%1</translation>
    </message>
</context>
<context>
    <name>HeartBeatProc</name>
    <message>
        <source>Reusing ADDR failed!</source>
        <translation>地址复用设置失败!</translation>
    </message>
    <message>
        <source>bind failed with error %1</source>
        <translation>绑定失败,错误 %1</translation>
    </message>
    <message>
        <source>setsockopt:%1,set multicast error</source>
        <translation>setsockopt:%1,设置组播错误</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>QuorvelView3D</source>
        <translation>QuorvelView3D</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>主窗口</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>custom format (*.dump)</source>
        <translation>自定义格式 (*.dump)</translation>
    </message>
    <message>
        <source>wireshark data(*.pcap)</source>
        <translation>wireshark 数据(*.pcap)</translation>
    </message>
    <message>
        <source>wireshark data (*.pcapng)</source>
        <translation>wireshark 数据 (*.pcapng)</translation>
    </message>
    <message>
        <source>LAS data (*.las)</source>
        <translation>LAS 数据 (*.las)</translation>
    </message>
    <message>
        <source>PCL data (*.pcd)</source>
        <translation>PCL 数据 (*.pcd)</translation>
    </message>
    <message>
        <source>lidar model select</source>
        <translation>雷达型号选择</translation>
    </message>
    <message>
        <source>Caching is finish!</source>
        <translation>缓存完成!</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>日志</translation>
    </message>
    <message>
        <source>The log save path is not exist!</source>
        <translation>日志保存路径不存在!</translation>
    </message>
    <message>
        <source>The log path does not have write permission, please change the path.</source>
        <translation>日志路径没有写权限,请更换路径。</translation>
    </message>
    <message>
        <source>writing log,write file path:%1</source>
        <translation>正在写日志,写入文件路径:%1</translation>
    </message>
    <message>
        <source>write log start failed,write file path:%1</source>
        <translation>写日志启动失败,写入文件路径:%1</translation>
    </message>
    <message>
        <source>write log finish,write file path</source>
        <translation>写日志完成,写入文件路径</translation>
    </message>
    <message>
        <source>recording lost %1 records so far: the disk does not keep up with the data</source>
        <translation>录制已丢失 %1 条记录:磁盘写入速度跟不上数据</translation>
    </message>
    <message>
        <source>recording lost %1 of %2 records: the disk did not keep up with the data</source>
        <translation>录制共丢失 %1 条记录(共 %2 条):磁盘写入速度跟不上数据</translation>
    </message>
    <message>
        <source>recording stopped: writing %1 failed: %2; %3 records written</source>
        <translation>录制已停止:写入 %1 失败:%2;已写入 %3 条记录</translation>
    </message>
    <message>
        <source>save file</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>Point cloud image does not exist!</source>
        <translation>点云图像不存在!</translation>
    </message>
    <message>
        <source>The point cloud file must end in .pcd or .las: %1</source>
        <translation>点云文件必须以 .pcd 或 .las 结尾: %1</translation>
    </message>
    <message>
        <source>The point cloud file could not be written: %1</source>
        <translation>点云文件无法写入: %1</translation>
    </message>
    <message>
        <source>point cloud saved,write file path:%1</source>
        <translation>点云已保存,写入文件路径:%1</translation>
    </message>
    <message>
        <source>日志信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>基本操作说明: shift + 鼠标拖动  = 平移    鼠标直接拖动 = 旋转视图  常用功能侧边栏，鼠标拖动至图标位置使用提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Top</source>
        <translation>Z 顶视图</translation>
    </message>
    <message>
        <source>Z Bottom</source>
        <translation>Z 底视图</translation>
    </message>
    <message>
        <source>Z Front</source>
        <translation>Z 前视图</translation>
    </message>
    <message>
        <source>Z Back</source>
        <translation>Z 后视图</translation>
    </message>
    <message>
        <source>Z Left</source>
        <translation>Z 左视图</translation>
    </message>
    <message>
        <source>Z Right</source>
        <translation>Z 右视图</translation>
    </message>
    <message>
        <source>rotate x</source>
        <translation>绕X轴旋转</translation>
    </message>
    <message>
        <source>rotate y</source>
        <translation>绕Y轴旋转</translation>
    </message>
    <message>
        <source>rotate z</source>
        <translation>绕Z轴旋转</translation>
    </message>
    <message>
        <source>Coodinate show/hide</source>
        <translation>坐标轴显示/隐藏</translation>
    </message>
    <message>
        <source>grid</source>
        <translation>网格</translation>
    </message>
    <message>
        <source> no filter part hide</source>
        <translation> 隐藏未过滤部分</translation>
    </message>
    <message>
        <source>Circling the point cloud: After clicking, left mouse button (first point) and then right mouse button (second point) in the image, the circling is finished.</source>
        <translation>框选点云：点击后，在图像中先按鼠标左键（第一个点）再按鼠标右键（第二个点），即完成框选。</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>center</source>
        <translation>居中</translation>
    </message>
    <message>
        <source>intensity maps color by min-max</source>
        <translation>强度按最小-最大值映射颜色</translation>
    </message>
    <message>
        <source>data source</source>
        <translation>数据源</translation>
    </message>
    <message>
        <source>Fenk-U</source>
        <translation>Fenk-U</translation>
    </message>
    <message>
        <source>Raxo-E</source>
        <translation>Raxo-E</translation>
    </message>
    <message>
        <source>Raxo-S</source>
        <translation>Raxo-S</translation>
    </message>
    <message>
        <source>Vimo-E</source>
        <translation>Vimo-E</translation>
    </message>
    <message>
        <source>Algorithm Box</source>
        <translation>算法盒</translation>
    </message>
    <message>
        <source>playback file</source>
        <translation>回放文件</translation>
    </message>
    <message>
        <source>tool</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>CN</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>EN</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>backgroud color</source>
        <translation>背景颜色</translation>
    </message>
    <message>
        <source>log config</source>
        <translation>日志配置</translation>
    </message>
    <message>
        <source>big screen</source>
        <translation>大屏</translation>
    </message>
    <message>
        <source>fix point edit</source>
        <translation>定点编辑</translation>
    </message>
    <message>
        <source>model train</source>
        <translation>模型训练</translation>
    </message>
    <message>
        <source>voxel filter setting</source>
        <translation>体素滤波设置</translation>
    </message>
    <message>
        <source>voxel filter reset</source>
        <translation>体素滤波重置</translation>
    </message>
    <message>
        <source>only Vimo-E use</source>
        <translation>仅Vimo-E使用</translation>
    </message>
    <message>
        <source>please connect lidar first!</source>
        <translation>请先连接雷达!</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>about</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>3D view</source>
        <translation>3D视图</translation>
    </message>
    <message>
        <source>2D view</source>
        <translation>2D视图</translation>
    </message>
    <message>
        <source>Fenk-U property</source>
        <translation>Fenk-U属性</translation>
    </message>
    <message>
        <source>Raxo-E property</source>
        <translation>Raxo-E属性</translation>
    </message>
    <message>
        <source>Vimo-E property</source>
        <translation>Vimo-E属性</translation>
    </message>
    <message>
        <source>Points data</source>
        <translation>点云数据</translation>
    </message>
    <message>
        <source>Parse data</source>
        <translation>数据分析</translation>
    </message>
    <message>
        <source>alarm zone property</source>
        <translation>报警区域属性</translation>
    </message>
    <message>
        <source>warm</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The Language configuration must be rebooted to take effect</source>
        <translation>语言配置需要重启后生效</translation>
    </message>
    <message>
        <source>%1 (came %2 more times while it was shown)</source>
        <translation>%1（提示框打开期间又出现 %2 次）</translation>
    </message>
    <message>
        <source>Observe</source>
        <translation>观察</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>报警</translation>
    </message>
    <message>
        <source>lidar type:%1</source>
        <translation>雷达类型:%1</translation>
    </message>
    <message>
        <source>detected a new lidar online, with the same SN number as the last connected lidar</source>
        <translation>检测到新雷达上线,其SN号与上次连接的雷达相同</translation>
    </message>
    <message>
        <source>detected that the current lidar heartbeat packet has disappeared</source>
        <translation>检测到当前雷达心跳包消失</translation>
    </message>
    <message>
        <source>Firmware upgrade in progress, please wait </source>
        <translation>固件升级中,请稍候 </translation>
    </message>
</context>
<context>
    <name>MultiSelectComboBox</name>
    <message>
        <source>Search.........</source>
        <translation>搜索.........</translation>
    </message>
</context>
<context>
    <name>Page_Admin</name>
    <message>
        <source>Form</source>
        <translation>指令测试</translation>
    </message>
    <message>
        <source>指令测试</source>
        <translation>指令测试</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>TIME</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>CMD</source>
        <translation>指令</translation>
    </message>
    <message>
        <source>RETURN</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>create cmd socket failed</source>
        <translation>创建指令套接字失败</translation>
    </message>
    <message>
        <source>LSUDP is disabled</source>
        <translation>LSUDP 已禁用</translation>
    </message>
    <message>
        <source>no response</source>
        <translation>无响应</translation>
    </message>
</context>
<context>
    <name>Page_Box</name>
    <message>
        <source>Form</source>
        <translation>算法盒配置工具</translation>
    </message>
    <message>
        <source>可用算法盒子列表</source>
        <translation>可用算法盒子列表</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>雷达实时状态列表</source>
        <translation>雷达实时状态列表</translation>
    </message>
    <message>
        <source>盒子网络配置</source>
        <translation>盒子网络配置</translation>
    </message>
    <message>
        <source>IP地址:</source>
        <translation>IP地址:</translation>
    </message>
    <message>
        <source>掩码：</source>
        <translation>掩码：</translation>
    </message>
    <message>
        <source>网关：</source>
        <translation>网关：</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>硬件信息配置</source>
        <translation>硬件信息配置</translation>
    </message>
    <message>
        <source>SN号:</source>
        <translation>SN号:</translation>
    </message>
    <message>
        <source>MAC地址:</source>
        <translation>MAC地址:</translation>
    </message>
    <message>
        <source>重启设备</source>
        <translation>重启设备</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>mac地址设置后需要重启设备/上下电生效</source>
        <translation>mac地址设置后需要重启设备/上下电生效</translation>
    </message>
    <message>
        <source>盒子固件升级</source>
        <translation>盒子固件升级</translation>
    </message>
    <message>
        <source>当前版本：</source>
        <translation>当前版本：</translation>
    </message>
    <message>
        <source>目录：</source>
        <translation>目录：</translation>
    </message>
    <message>
        <source>版本读取</source>
        <translation>版本读取</translation>
    </message>
    <message>
        <source>选择固件</source>
        <translation>选择固件</translation>
    </message>
    <message>
        <source>升级固件</source>
        <translation>升级固件</translation>
    </message>
    <message>
        <source>增删雷达配置</source>
        <translation>增删雷达配置</translation>
    </message>
    <message>
        <source>可选列表</source>
        <translation>可选列表</translation>
    </message>
    <message>
        <source>已选列表IO口A</source>
        <translation>已选列表IO口A</translation>
    </message>
    <message>
        <source>已选列表IO口B</source>
        <translation>已选列表IO口B</translation>
    </message>
    <message>
        <source>移入IO口A</source>
        <translation>移入IO口A</translation>
    </message>
    <message>
        <source>移出IO口A</source>
        <translation>移出IO口A</translation>
    </message>
    <message>
        <source>移入IO口B</source>
        <translation>移入IO口B</translation>
    </message>
    <message>
        <source>移出IO口B</source>
        <translation>移出IO口B</translation>
    </message>
    <message>
        <source>手动编辑</source>
        <translation>手动编辑</translation>
    </message>
    <message>
        <source>显示或隐藏详细配置</source>
        <translation>显示或隐藏详细配置</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Algorithm Box Configurator</source>
        <translation>算法盒配置工具</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>warm</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please select the specified IP box first!</source>
        <translation>请先选择指定IP的盒子!</translation>
    </message>
    <message>
        <source>Please select the lidar to be connected first!</source>
        <translation>请先选择要连接的雷达!</translation>
    </message>
    <message>
        <source>This IP is an internal IP or is occupied. Please choose another IP</source>
        <translation>该IP为内部IP或已被占用,请选择其他IP</translation>
    </message>
    <message>
        <source>IP/Mask/Gateway mismatch, please modify and try again</source>
        <translation>IP/掩码/网关不匹配,请修改后重试</translation>
    </message>
    <message>
        <source>MAC address format error!</source>
        <translation>MAC地址格式错误!</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>box firmware file (*.bin)</source>
        <translation>盒子固件文件 (*.bin)</translation>
    </message>
    <message>
        <source>filename:%1 is not exist!</source>
        <translation>文件:%1 不存在!</translation>
    </message>
    <message>
        <source>A firmware upgrade is in progress, please wait until it ends!</source>
        <translation>固件升级正在进行,请等待其结束!</translation>
    </message>
    <message>
        <source>No available history files, please modify your Mac and try again!</source>
        <translation>没有可用的历史记录文件,请修改MAC后重试!</translation>
    </message>
    <message>
        <source>algorithm box is reboot!</source>
        <translation>算法盒正在重启!</translation>
    </message>
    <message>
        <source>MAC set ok!</source>
        <translation>MAC设置成功!</translation>
    </message>
    <message>
        <source>SN set ok</source>
        <translation>SN设置成功</translation>
    </message>
    <message>
        <source>ip:port</source>
        <translation>ip:port</translation>
    </message>
    <message>
        <source>please edit!</source>
        <translation>请编辑!</translation>
    </message>
    <message>
        <source>Configuration already exists, please add it again</source>
        <translation>配置已存在,请重新添加</translation>
    </message>
    <message>
        <source>add lidar config failed:format error,row:%1</source>
        <translation>添加雷达配置失败:格式错误,行:%1</translation>
    </message>
    <message>
        <source>add lidar config failed:ip format error,row:%1</source>
        <translation>添加雷达配置失败:IP格式错误,行:%1</translation>
    </message>
    <message>
        <source>add lidar config failed:port range error,row:%1</source>
        <translation>添加雷达配置失败:端口范围错误,行:%1</translation>
    </message>
</context>
<context>
    <name>Page_Box_V0</name>
    <message>
        <source>Form</source>
        <translation>算法盒参数</translation>
    </message>
    <message>
        <source>算法盒子防区设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过滤圈数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过滤点数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据上传方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修正数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>报警数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>对比帧标定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>雷达高度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>补偿距离(mm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>扫描最少点位:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图标显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义报警参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长(mm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽(mm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高(mm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>叉车</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I/O配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出1默认开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出2默认开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出3默认开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出4默认开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNP</source>
        <translation>PNP</translation>
    </message>
    <message>
        <source>NPN</source>
        <translation>NPN</translation>
    </message>
    <message>
        <source>输出映射</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>观察</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警戒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>报警</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>具体报警信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>对象\功能</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>观察区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警戒区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>报警区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>人</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>车</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>整体</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The command is too long to send!</source>
        <translation>命令过长,无法发送!</translation>
    </message>
    <message>
        <source>init first frame</source>
        <translation>初始化对比帧</translation>
    </message>
    <message>
        <source>set circle num</source>
        <translation>设置过滤圈数</translation>
    </message>
    <message>
        <source>set filter point num</source>
        <translation>设置过滤点数</translation>
    </message>
    <message>
        <source>set car detect factor</source>
        <translation>设置叉车检测参数</translation>
    </message>
    <message>
        <source>set near points factor</source>
        <translation>设置近点参数</translation>
    </message>
    <message>
        <source>set pnp/npn</source>
        <translation>设置PNP/NPN</translation>
    </message>
    <message>
        <source>set IO board output param</source>
        <translation>设置IO板输出参数</translation>
    </message>
    <message>
        <source>set upload data type</source>
        <translation>设置数据上传方式</translation>
    </message>
    <message>
        <source>The lidar height must be between 0 and 65.535 m!</source>
        <translation>雷达高度必须在0到65.535米之间!</translation>
    </message>
    <message>
        <source>set lidar height</source>
        <translation>设置雷达高度</translation>
    </message>
</context>
<context>
    <name>Page_DrawZone</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The number of alarm zones more than the maximum limit!</source>
        <translation>报警区域数量超过最大限制!</translation>
    </message>
    <message>
        <source>The current parameter cannot all zero!</source>
        <translation>当前参数不能全为零!</translation>
    </message>
    <message>
        <source>The current parameter cannot form a sector!</source>
        <translation>当前参数无法构成扇形!</translation>
    </message>
    <message>
        <source>The sector near distance  cannot be less than 10mm</source>
        <translation>扇形近距离不能小于10mm</translation>
    </message>
    <message>
        <source>The current parameter cannot form a rectangle!</source>
        <translation>当前参数无法构成矩形!</translation>
    </message>
    <message>
        <source>Zone ID:%1:The number of alarm zones more than the maximum limit!</source>
        <translation>区域ID:%1:报警区域数量超过最大限制!</translation>
    </message>
    <message>
        <source>DrawZone Tool</source>
        <translation>防区绘制工具</translation>
    </message>
    <message>
        <source>绘制图形</source>
        <translation>绘制图形</translation>
    </message>
    <message>
        <source>ellipse</source>
        <translation>椭圆</translation>
    </message>
    <message>
        <source>rect</source>
        <translation>矩形</translation>
    </message>
    <message>
        <source>sector</source>
        <translation>扇形</translation>
    </message>
    <message>
        <source>polygon</source>
        <translation>多边形</translation>
    </message>
    <message>
        <source>ZoneID:</source>
        <translation>防区ID:</translation>
    </message>
    <message>
        <source>area:</source>
        <translation>区域:</translation>
    </message>
    <message>
        <source>Shape:</source>
        <translation>形状:</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>模式:</translation>
    </message>
    <message>
        <source>1.Observation area</source>
        <translation>1.观察区</translation>
    </message>
    <message>
        <source>2.Warning area</source>
        <translation>2.警告区</translation>
    </message>
    <message>
        <source>3.Alarm area</source>
        <translation>3.报警区</translation>
    </message>
    <message>
        <source>1.ellipse</source>
        <translation>1.椭圆</translation>
    </message>
    <message>
        <source>2.rect</source>
        <translation>2.矩形</translation>
    </message>
    <message>
        <source>3.sector</source>
        <translation>3.扇形</translation>
    </message>
    <message>
        <source>4.polygon</source>
        <translation>4.多边形</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>增加</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>参数坐标</source>
        <translation>参数坐标</translation>
    </message>
    <message>
        <source>Center X:</source>
        <translation>中心X:</translation>
    </message>
    <message>
        <source>Center Y:</source>
        <translation>中心Y:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>宽度:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>高度:</translation>
    </message>
    <message>
        <source>多边形绘制说明：使用鼠标左键点击表示顶点，鼠标右键表示连成矩形（请保证至少3个点）</source>
        <translation>多边形绘制说明：使用鼠标左键点击表示顶点，鼠标右键表示连成矩形（请保证至少3个点）</translation>
    </message>
    <message>
        <source>硬件写入</source>
        <translation>硬件写入</translation>
    </message>
    <message>
        <source>当前编辑防区</source>
        <translation>当前编辑防区</translation>
    </message>
    <message>
        <source>切换防区</source>
        <translation>切换防区</translation>
    </message>
    <message>
        <source>复制防区</source>
        <translation>复制防区</translation>
    </message>
    <message>
        <source>清空防区</source>
        <translation>清空防区</translation>
    </message>
    <message>
        <source>读取防区</source>
        <translation>读取防区</translation>
    </message>
    <message>
        <source>写入防区</source>
        <translation>写入防区</translation>
    </message>
    <message>
        <source>Num</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Center X</source>
        <translation>中心X</translation>
    </message>
    <message>
        <source>Center Y</source>
        <translation>中心Y</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>宽度</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高度</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>上</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右</translation>
    </message>
    <message>
        <source>Buttom</source>
        <translation>下</translation>
    </message>
    <message>
        <source>Start angle</source>
        <translation>起始角度</translation>
    </message>
    <message>
        <source>End angle</source>
        <translation>终止角度</translation>
    </message>
    <message>
        <source>Far distance</source>
        <translation>远距离</translation>
    </message>
    <message>
        <source>Near distance</source>
        <translation>近距离</translation>
    </message>
    <message>
        <source>!!! %1 %2</source>
        <translation>!!! %1 %2</translation>
    </message>
</context>
<context>
    <name>Page_Hoby_U</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>sn is too long (at most %1 bytes)!</source>
        <translation>序列号过长(最多 %1 字节)!</translation>
    </message>
    <message>
        <source>sn</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>id</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>ip.mask.gatewat.port  format error!</source>
        <translation>ip.掩码.网关.端口 格式错误!</translation>
    </message>
    <message>
        <source>lidar ip mask gateway port</source>
        <translation>雷达地址</translation>
    </message>
    <message>
        <source>target ip.port  format error!</source>
        <translation>目标 ip.端口 格式错误!</translation>
    </message>
    <message>
        <source>lidar upload ip port</source>
        <translation>上传地址</translation>
    </message>
    <message>
        <source>data type</source>
        <translation>上传数据类型</translation>
    </message>
    <message>
        <source>pwn set range(0,100)</source>
        <translation>占空比设置范围(0,100)</translation>
    </message>
    <message>
        <source>pwm</source>
        <translation>占空比</translation>
    </message>
    <message>
        <source>confidence</source>
        <translation>置信度过滤</translation>
    </message>
    <message>
        <source>distance fitter</source>
        <translation>距离过滤</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Firmware(*.bin *.lhl)</source>
        <translation>固件(*.bin *.lhl)</translation>
    </message>
</context>
<context>
    <name>Page_Hoby_UClass</name>
    <message>
        <source>Page_Hoby_U</source>
        <translation>LDS-Fenk-U 配置</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>基本信息</translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation>设备型号</translation>
    </message>
    <message>
        <source>A板SN号</source>
        <translation>A板SN号</translation>
    </message>
    <message>
        <source>软件版本号</source>
        <translation>软件版本号</translation>
    </message>
    <message>
        <source>硬件版本号</source>
        <translation>硬件版本号</translation>
    </message>
    <message>
        <source>主板sn号</source>
        <translation>主板sn号</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>占空比</source>
        <translation>占空比</translation>
    </message>
    <message>
        <source>置信度过滤</source>
        <translation>置信度过滤</translation>
    </message>
    <message>
        <source> 过滤阈值</source>
        <translation> 过滤阈值</translation>
    </message>
    <message>
        <source>距离过滤</source>
        <translation>距离过滤</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>其他参数</source>
        <translation>其他参数</translation>
    </message>
    <message>
        <source>固定上传</source>
        <translation>固定上传</translation>
    </message>
    <message>
        <source>校准调试</source>
        <translation>校准调试</translation>
    </message>
    <message>
        <source>通讯参数</source>
        <translation>通讯参数</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>设备参数</translation>
    </message>
    <message>
        <source>雷达ip</source>
        <translation>雷达ip</translation>
    </message>
    <message>
        <source>雷达掩码</source>
        <translation>雷达掩码</translation>
    </message>
    <message>
        <source>雷达网关</source>
        <translation>雷达网关</translation>
    </message>
    <message>
        <source>雷达端口</source>
        <translation>雷达端口</translation>
    </message>
    <message>
        <source>上传ip</source>
        <translation>上传ip</translation>
    </message>
    <message>
        <source>上传端口</source>
        <translation>上传端口</translation>
    </message>
    <message>
        <source>上传数据类型</source>
        <translation>上传数据类型</translation>
    </message>
    <message>
        <source>点云</source>
        <translation>点云</translation>
    </message>
    <message>
        <source>距离</source>
        <translation>距离</translation>
    </message>
    <message>
        <source>置信度</source>
        <translation>置信度</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>深度</translation>
    </message>
    <message>
        <source>深度域</source>
        <translation>深度域</translation>
    </message>
    <message>
        <source>固件设置</source>
        <translation>固件设置</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>当前路径:</source>
        <translation>当前路径:</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>选择升级文件</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
</context>
<context>
    <name>Page_Raxo_E</name>
    <message>
        <source>observe</source>
        <translation>观察区</translation>
    </message>
    <message>
        <source>warm</source>
        <translation>预警区</translation>
    </message>
    <message>
        <source>alarm</source>
        <translation>报警区</translation>
    </message>
    <message>
        <source>%1, output %2</source>
        <translation>%1, 输出%2</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>%1: no value selected</source>
        <translation>%1: 未选择数值</translation>
    </message>
    <message>
        <source>calibration</source>
        <translation>IMU零位校准</translation>
    </message>
    <message>
        <source>compare frame </source>
        <translation>校准帧标定 </translation>
    </message>
    <message>
        <source>start</source>
        <translation>启动</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>query network err</source>
        <translation>读取断网情况</translation>
    </message>
    <message>
        <source>get algorithm parameters</source>
        <translation>读取算法参数</translation>
    </message>
    <message>
        <source>sn</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>id</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>ip.mask.gatewat.port  format error!</source>
        <translation>ip.掩码.网关.端口 格式错误!</translation>
    </message>
    <message>
        <source>lidar ip mask gateway port</source>
        <translation>雷达地址</translation>
    </message>
    <message>
        <source>target ip.port  format error!</source>
        <translation>目标 ip.端口 格式错误!</translation>
    </message>
    <message>
        <source>lidar upload ip port</source>
        <translation>上传地址</translation>
    </message>
    <message>
        <source>imu parameters</source>
        <translation>IMU外参</translation>
    </message>
    <message>
        <source>pointdata upload</source>
        <translation>点云数据包上传</translation>
    </message>
    <message>
        <source>dev status upload</source>
        <translation>设备状态包上传</translation>
    </message>
    <message>
        <source>alarm upload</source>
        <translation>防区报警信息上传</translation>
    </message>
    <message>
        <source>distance filter</source>
        <translation>距离过滤</translation>
    </message>
    <message>
        <source>intensity filter</source>
        <translation>能量过滤</translation>
    </message>
    <message>
        <source>filter algorithm</source>
        <translation>滤波算法</translation>
    </message>
    <message>
        <source>time area filter algorithm</source>
        <translation>时域滤波</translation>
    </message>
    <message>
        <source>close range clutter </source>
        <translation>近距离噪点 </translation>
    </message>
    <message>
        <source>imu type </source>
        <translation>IMU类型 </translation>
    </message>
    <message>
        <source>imu acc </source>
        <translation>ACC量程 </translation>
    </message>
    <message>
        <source>imu gyro </source>
        <translation>GYRO量程 </translation>
    </message>
    <message>
        <source>imu filter level </source>
        <translation>IMU滤波等级 </translation>
    </message>
    <message>
        <source>imu sample rate </source>
        <translation>IMU采样率 </translation>
    </message>
    <message>
        <source>algorithm parameters not read yet, press refresh first</source>
        <translation>尚未读取算法参数, 请先刷新</translation>
    </message>
    <message>
        <source>circle filter num is out of range</source>
        <translation>过滤圈数或连续帧数超出范围</translation>
    </message>
    <message>
        <source>filter filter num is out of range</source>
        <translation>过滤点数或圈选最小点数超出范围</translation>
    </message>
    <message>
        <source>circle and point filter</source>
        <translation>过滤圈数与点数</translation>
    </message>
    <message>
        <source>offset distance isout of range</source>
        <translation>过滤阈值超出范围</translation>
    </message>
    <message>
        <source>offset distance</source>
        <translation>过滤阈值</translation>
    </message>
    <message>
        <source>algorithm  enable</source>
        <translation>算法开关</translation>
    </message>
    <message>
        <source> set lidar height</source>
        <translation> 设置雷达高度</translation>
    </message>
    <message>
        <source>4 channel out</source>
        <translation>4路输出区域(4 channel out)</translation>
    </message>
    <message>
        <source>model bind 4 channel</source>
        <translation>4路输出类别(model bind 4 channel)</translation>
    </message>
    <message>
        <source>4 channel PNP/NPN</source>
        <translation>4路输出PNP/NPN(4 channel PNP/NPN)</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Firmware(*.bin *.lhl)</source>
        <translation>固件(*.bin *.lhl)</translation>
    </message>
    <message>
        <source>Firmware name does not conform to specification</source>
        <translation>固件名称不符合规范</translation>
    </message>
</context>
<context>
    <name>Page_Raxo_EClass</name>
    <message>
        <source>Page_Raxo_E</source>
        <translation>LDS-Raxo 配置</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>基本信息</translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation>设备型号</translation>
    </message>
    <message>
        <source>软件版本号</source>
        <translation>软件版本号</translation>
    </message>
    <message>
        <source>硬件版本号</source>
        <translation>硬件版本号</translation>
    </message>
    <message>
        <source>主板sn号</source>
        <translation>主板sn号</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>启动</source>
        <translation>启动</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>读取断网情况</source>
        <translation>读取断网情况</translation>
    </message>
    <message>
        <source>灰度图显示</source>
        <translation>灰度图显示</translation>
    </message>
    <message>
        <source>数据参数</source>
        <translation>数据参数</translation>
    </message>
    <message>
        <source>距离过滤</source>
        <translation>距离过滤</translation>
    </message>
    <message>
        <source>最小距离(mm)</source>
        <translation>最小距离(mm)</translation>
    </message>
    <message>
        <source>最大距离(mm)</source>
        <translation>最大距离(mm)</translation>
    </message>
    <message>
        <source>能量过滤</source>
        <translation>能量过滤</translation>
    </message>
    <message>
        <source>最小距离内的最小能量</source>
        <translation>最小距离内的最小能量</translation>
    </message>
    <message>
        <source>最小能量</source>
        <translation>最小能量</translation>
    </message>
    <message>
        <source>滤波算法(掉电不保存)</source>
        <translation>滤波算法(掉电不保存)</translation>
    </message>
    <message>
        <source>时域滤波距离</source>
        <translation>时域滤波距离</translation>
    </message>
    <message>
        <source>0表示关闭</source>
        <translation>0表示关闭</translation>
    </message>
    <message>
        <source>近距离噪点</source>
        <translation>近距离噪点</translation>
    </message>
    <message>
        <source>室内最强峰阈值</source>
        <translation>室内最强峰阈值</translation>
    </message>
    <message>
        <source>室内次强峰阈值</source>
        <translation>室内次强峰阈值</translation>
    </message>
    <message>
        <source>室外最强峰阈值</source>
        <translation>室外最强峰阈值</translation>
    </message>
    <message>
        <source>室外次强峰阈值</source>
        <translation>室外次强峰阈值</translation>
    </message>
    <message>
        <source>IMU量程设置</source>
        <translation>IMU量程设置</translation>
    </message>
    <message>
        <source>ACC量程(g):</source>
        <translation>ACC量程(g):</translation>
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
        <translation>  GYRO量程(dps):</translation>
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
        <translation> 设置</translation>
    </message>
    <message>
        <source>    采样率</source>
        <translation>    采样率</translation>
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
        <translation>ACC滤波等级</translation>
    </message>
    <message>
        <source>采样率/2</source>
        <translation>采样率/2</translation>
    </message>
    <message>
        <source>采样率/4</source>
        <translation>采样率/4</translation>
    </message>
    <message>
        <source>采样率/5</source>
        <translation>采样率/5</translation>
    </message>
    <message>
        <source>采样率/8</source>
        <translation>采样率/8</translation>
    </message>
    <message>
        <source>采样率/10</source>
        <translation>采样率/10</translation>
    </message>
    <message>
        <source>采样率/16</source>
        <translation>采样率/16</translation>
    </message>
    <message>
        <source>采样率/20</source>
        <translation>采样率/20</translation>
    </message>
    <message>
        <source>采样率/40</source>
        <translation>采样率/40</translation>
    </message>
    <message>
        <source> GYRO滤波等级</source>
        <translation> GYRO滤波等级</translation>
    </message>
    <message>
        <source>IMU参数设置</source>
        <translation>IMU参数设置</translation>
    </message>
    <message>
        <source>零偏</source>
        <translation>零偏</translation>
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
        <translation>加速度</translation>
    </message>
    <message>
        <source>角速度</source>
        <translation>角速度</translation>
    </message>
    <message>
        <source>零位校准</source>
        <translation>零位校准</translation>
    </message>
    <message>
        <source>外参</source>
        <translation>外参</translation>
    </message>
    <message>
        <source>通讯参数</source>
        <translation>通讯参数</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>设备参数</translation>
    </message>
    <message>
        <source>雷达ip</source>
        <translation>雷达ip</translation>
    </message>
    <message>
        <source>雷达掩码</source>
        <translation>雷达掩码</translation>
    </message>
    <message>
        <source>雷达网关</source>
        <translation>雷达网关</translation>
    </message>
    <message>
        <source>雷达端口</source>
        <translation>雷达端口</translation>
    </message>
    <message>
        <source>上传ip</source>
        <translation>上传ip</translation>
    </message>
    <message>
        <source>上传端口</source>
        <translation>上传端口</translation>
    </message>
    <message>
        <source>上传类型</source>
        <translation>上传类型</translation>
    </message>
    <message>
        <source>点云数据包</source>
        <translation>点云数据包</translation>
    </message>
    <message>
        <source>不上传</source>
        <translation>不上传</translation>
    </message>
    <message>
        <source>单回波(360X150)</source>
        <translation>单回波(360X150)</translation>
    </message>
    <message>
        <source>单回波抽点(360X75)</source>
        <translation>单回波抽点(360X75)</translation>
    </message>
    <message>
        <source>双回波(360X150)</source>
        <translation>双回波(360X150)</translation>
    </message>
    <message>
        <source>单回波抽点(180X75)</source>
        <translation>单回波抽点(180X75)</translation>
    </message>
    <message>
        <source>设备状态包</source>
        <translation>设备状态包</translation>
    </message>
    <message>
        <source>上传</source>
        <translation>上传</translation>
    </message>
    <message>
        <source>防区报警信息</source>
        <translation>防区报警信息</translation>
    </message>
    <message>
        <source>IMU类型</source>
        <translation>IMU类型</translation>
    </message>
    <message>
        <source>外置imu</source>
        <translation>外置imu</translation>
    </message>
    <message>
        <source>板载imu</source>
        <translation>板载imu</translation>
    </message>
    <message>
        <source>IO与固件设置</source>
        <translation>IO与固件设置</translation>
    </message>
    <message>
        <source>输出映射</source>
        <translation>输出映射</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>输出</translation>
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
        <translation>I/O配置</translation>
    </message>
    <message>
        <source>输出1默认开</source>
        <translation>输出1默认开</translation>
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
        <translation>输出2默认开</translation>
    </message>
    <message>
        <source>输出3默认开</source>
        <translation>输出3默认开</translation>
    </message>
    <message>
        <source>输出4默认开</source>
        <translation>输出4默认开</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>当前路径:</source>
        <translation>当前路径:</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>选择升级文件</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>算法参数</source>
        <translation>算法参数</translation>
    </message>
    <message>
        <source>基本参数</source>
        <translation>基本参数</translation>
    </message>
    <message>
        <source>算法开关</source>
        <translation>算法开关</translation>
    </message>
    <message>
        <source>过滤阈值(cm)</source>
        <translation>过滤阈值(cm)</translation>
    </message>
    <message>
        <source>10-20</source>
        <translation>10-20</translation>
    </message>
    <message>
        <source>过滤圈数</source>
        <translation>过滤圈数</translation>
    </message>
    <message>
        <source>过滤点数</source>
        <translation>过滤点数</translation>
    </message>
    <message>
        <source>1-100</source>
        <translation>1-100</translation>
    </message>
    <message>
        <source>连续帧数</source>
        <translation>连续帧数</translation>
    </message>
    <message>
        <source>圈选最小点数</source>
        <translation>圈选最小点数</translation>
    </message>
    <message>
        <source>10-100</source>
        <translation>10-100</translation>
    </message>
    <message>
        <source>水平地面显示</source>
        <translation>水平地面显示</translation>
    </message>
    <message>
        <source>物体框选</source>
        <translation>物体框选</translation>
    </message>
    <message>
        <source>水平高度(mm)</source>
        <translation>水平高度(m)</translation>
    </message>
    <message>
        <source>自动修正</source>
        <translation>自动修正</translation>
    </message>
    <message>
        <source>手动修正</source>
        <translation>手动修正</translation>
    </message>
    <message>
        <source>控制功能</source>
        <translation>控制功能</translation>
    </message>
    <message>
        <source>校准帧标定</source>
        <translation>校准帧标定</translation>
    </message>
    <message>
        <source>点云跟踪数据</source>
        <translation>点云跟踪数据</translation>
    </message>
    <message>
        <source>防区参数</source>
        <translation>防区参数</translation>
    </message>
</context>
<context>
    <name>Page_Vimo_E</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>set lidar start</source>
        <translation>设置雷达开始旋转</translation>
    </message>
    <message>
        <source>set lidar stop</source>
        <translation>设置雷达停止旋转</translation>
    </message>
    <message>
        <source>set lidar ptp :%1</source>
        <translation>设置雷达PTP:%1</translation>
    </message>
    <message>
        <source>enable</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>disable</source>
        <translation>禁用</translation>
    </message>
    <message>
        <source>set lidar uploadfix :%1</source>
        <translation>设置雷达固定上传:%1</translation>
    </message>
    <message>
        <source>set lidar uploadfix enable</source>
        <translation>设置雷达固定上传启用</translation>
    </message>
    <message>
        <source>dev param</source>
        <translation>设备参数</translation>
    </message>
    <message>
        <source>debug query</source>
        <translation>异常查询</translation>
    </message>
    <message>
        <source>temperature query</source>
        <translation>温度查询</translation>
    </message>
    <message>
        <source>ip.mask.gatewat.port  format error!</source>
        <translation>ip.掩码.网关.端口 格式错误!</translation>
    </message>
    <message>
        <source>set lidar ip mask gateway port ok</source>
        <translation>设置雷达ip掩码网关端口</translation>
    </message>
    <message>
        <source>target ip.port  format error!</source>
        <translation>目标 ip.端口 格式错误!</translation>
    </message>
    <message>
        <source>set lidar upload ip :%1 port:%2</source>
        <translation>设置雷达上传ip:%1 端口:%2</translation>
    </message>
    <message>
        <source>display time range(1,99)</source>
        <translation>显示时间范围(1,99)</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Firmware(*.bin *.lhl)</source>
        <translation>固件(*.bin *.lhl)</translation>
    </message>
</context>
<context>
    <name>Page_Vimo_EClass</name>
    <message>
        <source>Page_Vimo_E</source>
        <translation>LDS-Vimo-E 配置</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>基本信息</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation>设备型号</translation>
    </message>
    <message>
        <source>SN号</source>
        <translation>SN号</translation>
    </message>
    <message>
        <source>动作控制</source>
        <translation>动作控制</translation>
    </message>
    <message>
        <source>开始旋转</source>
        <translation>开始旋转</translation>
    </message>
    <message>
        <source>停止旋转</source>
        <translation>停止旋转</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>设备参数</translation>
    </message>
    <message>
        <source>雷达ip</source>
        <translation>雷达ip</translation>
    </message>
    <message>
        <source>雷达掩码</source>
        <translation>雷达掩码</translation>
    </message>
    <message>
        <source>雷达网关</source>
        <translation>雷达网关</translation>
    </message>
    <message>
        <source>雷达端口</source>
        <translation>雷达端口</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>上传ip</source>
        <translation>上传ip</translation>
    </message>
    <message>
        <source>上传端口</source>
        <translation>上传端口</translation>
    </message>
    <message>
        <source>固定上传</source>
        <translation>固定上传</translation>
    </message>
    <message>
        <source>PTP时间同步</source>
        <translation>PTP时间同步</translation>
    </message>
    <message>
        <source>输出参数</source>
        <translation>输出参数</translation>
    </message>
    <message>
        <source>显示时间:</source>
        <translation>显示时间:</translation>
    </message>
    <message>
        <source>说明:在界面上显示多少时间的点云,单位(100ms)</source>
        <translation>说明:在界面上显示多少时间的点云,单位(100ms)</translation>
    </message>
    <message>
        <source>固件设置</source>
        <translation>固件设置</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>当前路径:</source>
        <translation>当前路径:</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>选择升级文件</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>调试信息</source>
        <translation>调试信息</translation>
    </message>
    <message>
        <source>异常查询</source>
        <translation>异常查询</translation>
    </message>
    <message>
        <source>底板和机头温度查询</source>
        <translation>底板和机头温度查询</translation>
    </message>
</context>
<context>
    <name>PlaybackProc</name>
    <message>
        <source>drop package last index: %1 now index:%2</source>
        <translation>丢包 上一序号: %1 当前序号:%2</translation>
    </message>
    <message>
        <source>pointcloud packet length error:  %1 %2</source>
        <translation>点云包长度错误:  %1 %2</translation>
    </message>
    <message>
        <source> mirror :%1</source>
        <translation> 振镜 :%1</translation>
    </message>
    <message>
        <source> main motor:%1 </source>
        <translation> 主电机:%1 </translation>
    </message>
    <message>
        <source>The playback file is open failed!</source>
        <translation>回放文件打开失败!</translation>
    </message>
    <message>
        <source>The playback file is  too large,maximum 100M</source>
        <translation>回放文件过大,最大100M</translation>
    </message>
    <message>
        <source>The playback file is  too small,minmum 4K</source>
        <translation>回放文件过小,最小4K</translation>
    </message>
    <message>
        <source>playback cache end, package num:%1 framenum:%2 </source>
        <translation>回放缓存结束, 包数:%1 帧数:%2 </translation>
    </message>
    <message>
        <source>The playback file is open failed!:%1</source>
        <translation>回放文件打开失败!:%1</translation>
    </message>
    <message>
        <source>can not open las file: %1</source>
        <translation>无法打开LAS文件: %1</translation>
    </message>
    <message>
        <source>can not open pcd file: %1</source>
        <translation>无法打开PCD文件: %1</translation>
    </message>
    <message>
        <source>The playback file is not a regular file: %1</source>
        <translation>回放文件不是普通文件: %1</translation>
    </message>
</context>
<context>
    <name>PointCloudUI</name>
    <message>
        <source>detect zone draw</source>
        <translation>检测区域绘制</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Maximum distance of graphic drawing cannot exceed 40 meters!</source>
        <translation>图形绘制的最大距离不能超过40米!</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>debug infomation</source>
        <translation>调试信息</translation>
    </message>
    <message>
        <source>warm infomation</source>
        <translation>提示信息</translation>
    </message>
    <message>
        <source>error infomation</source>
        <translation>错误信息</translation>
    </message>
    <message>
        <source>run state</source>
        <translation>运行状态</translation>
    </message>
    <message>
        <source>zone monitor</source>
        <translation>区域监控</translation>
    </message>
    <message>
        <source>firmware motor upgrades</source>
        <translation>电机固件升级</translation>
    </message>
    <message>
        <source>firmware mcu upgrades</source>
        <translation>MCU固件升级</translation>
    </message>
    <message>
        <source>detect zone  upgrades</source>
        <translation>检测区域升级</translation>
    </message>
    <message>
        <source>model upgrades</source>
        <translation>模型升级</translation>
    </message>
    <message>
        <source>algorithm info upgrades</source>
        <translation>算法信息升级</translation>
    </message>
    <message>
        <source>cmd infomation</source>
        <translation>命令信息</translation>
    </message>
    <message>
        <source>lidar type</source>
        <translation>雷达型号</translation>
    </message>
    <message>
        <source>log infomation</source>
        <translation>日志信息</translation>
    </message>
    <message>
        <source>system reboot</source>
        <translation>系统重启</translation>
    </message>
    <message>
        <source>LDS-Fenk-U</source>
        <translation>LDS-Fenk-U</translation>
    </message>
    <message>
        <source>LDS-Raxo-E</source>
        <translation>LDS-Raxo-E</translation>
    </message>
    <message>
        <source>LDS-Raxo-S</source>
        <translation>LDS-Raxo-S</translation>
    </message>
    <message>
        <source>LDS-Vimo-E</source>
        <translation>LDS-Vimo-E</translation>
    </message>
    <message>
        <source>Algorithm Box</source>
        <translation>算法盒</translation>
    </message>
    <message>
        <source>Unknown lidar model</source>
        <translation>未知雷达型号</translation>
    </message>
    <message>
        <source>socket receive buffer is %1 bytes, %2 asked: packets may be lost at high rates; raise the limit with: sysctl -w net.core.rmem_max=%3</source>
        <translation>套接字接收缓冲区为 %1 字节，请求 %2 字节：高速率时可能丢包；可用以下命令提高上限：sysctl -w net.core.rmem_max=%3</translation>
    </message>
    <message>
        <source>frame dropped: more than %1 points without a frame end</source>
        <translation>丢弃帧：超过 %1 个点仍无帧结束标志</translation>
    </message>
    <message>
        <source>lidar data reception is ok</source>
        <translation>雷达数据接收正常</translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
        <translation>雷达命令接收正常</translation>
    </message>
    <message>
        <source>lidar disconnect ok</source>
        <translation>雷达断开成功</translation>
    </message>
    <message>
        <source>open socket failed</source>
        <translation>打开套接字失败</translation>
    </message>
    <message>
        <source>%1 (came %2 times)</source>
        <translation>%1（共 %2 次）</translation>
    </message>
    <message>
        <source>a reply of the device left out: replies came faster than the window takes them</source>
        <translation>设备的一条应答被略去：应答到达得比窗口处理得快</translation>
    </message>
</context>
<context>
    <name>RecvBoxDataProc</name>
    <message>
        <source>Disconnect lidar connection successful</source>
        <translation>断开雷达连接成功</translation>
    </message>
</context>
<context>
    <name>RecvDataProc</name>
    <message>
        <source>trans time:%1</source>
        <translation>传输时间:%1</translation>
    </message>
    <message>
        <source>update OK</source>
        <translation>升级成功</translation>
    </message>
    <message>
        <source>update NG:%1</source>
        <translation>升级失败:%1</translation>
    </message>
</context>
<context>
    <name>RecvDataProc2</name>
    <message>
        <source>update OK</source>
        <translation>升级成功</translation>
    </message>
    <message>
        <source>update NG:%1</source>
        <translation>升级失败:%1</translation>
    </message>
    <message>
        <source>zone write error</source>
        <translation>区域写入错误</translation>
    </message>
    <message>
        <source>zone write %1</source>
        <translation>区域写入 %1</translation>
    </message>
    <message>
        <source>zone read %1</source>
        <translation>区域读取 %1</translation>
    </message>
    <message>
        <source>detect model load %1</source>
        <translation>检测模型加载 %1</translation>
    </message>
    <message>
        <source>trans time:%1</source>
        <translation>传输时间:%1</translation>
    </message>
    <message>
        <source>Failed to send command,trying to reconnect...</source>
        <translation>发送命令失败,正在尝试重新连接...</translation>
    </message>
    <message>
        <source>open data socket failed</source>
        <translation>打开数据套接字失败</translation>
    </message>
    <message>
        <source>open cmd socket failed,code:%1 %2 %3</source>
        <translation>打开命令套接字失败,代码:%1 %2 %3</translation>
    </message>
</context>
<context>
    <name>RecvDataProc3</name>
    <message>
        <source>pointcloud packet length error:%1 %2</source>
        <translation>点云包长度错误:%1 %2</translation>
    </message>
    <message>
        <source> mirror :%1</source>
        <translation> 振镜 :%1</translation>
    </message>
    <message>
        <source> main motor:%1 </source>
        <translation> 主电机:%1 </translation>
    </message>
    <message>
        <source>update OK</source>
        <translation>升级成功</translation>
    </message>
    <message>
        <source>update NG:%1</source>
        <translation>升级失败:%1</translation>
    </message>
    <message>
        <source>listen port open failed</source>
        <translation>监听端口打开失败</translation>
    </message>
    <message>
        <source>firmware update start</source>
        <translation>固件升级开始</translation>
    </message>
    <message>
        <source>open listen port failed:%1 </source>
        <translation>打开监听端口失败:%1 </translation>
    </message>
    <message>
        <source>Failed to load firmware upgrade file</source>
        <translation>加载固件升级文件失败</translation>
    </message>
    <message>
        <source>load firmware file ok</source>
        <translation>加载固件文件成功</translation>
    </message>
    <message>
        <source>send flash erase</source>
        <translation>发送擦除闪存</translation>
    </message>
    <message>
        <source>send cmd more than three times without answering</source>
        <translation>发送命令超过三次无应答</translation>
    </message>
    <message>
        <source>receive OP_WRITE_IAP</source>
        <translation>收到 OP_WRITE_IAP</translation>
    </message>
    <message>
        <source>firmware file update success</source>
        <translation>固件文件升级成功</translation>
    </message>
    <message>
        <source>receive OP_FLASH_ERASE</source>
        <translation>收到 OP_FLASH_ERASE</translation>
    </message>
    <message>
        <source>send OP_WRITE_IAP</source>
        <translation>发送 OP_WRITE_IAP</translation>
    </message>
</context>
<context>
    <name>View3DScene</name>
    <message>
        <source>point size set:%1</source>
        <translation>点大小设置:%1</translation>
    </message>
</context>
<context>
    <name>ZONEALARM::ZoneAlarm</name>
    <message>
        <source>read alarm zone</source>
        <translation>读取报警区域</translation>
    </message>
    <message>
        <source>write alarm zone</source>
        <translation>写入报警区域</translation>
    </message>
    <message>
        <source>query</source>
        <translation>查询</translation>
    </message>
    <message>
        <source>ALL CRC verification failed</source>
        <translation>整体CRC校验失败</translation>
    </message>
    <message>
        <source>The alarm zone is not initialized or there is an error writing. Please clear the alarm zone and read again</source>
        <translation>报警区域未初始化或写入出错,请清除报警区域后重新读取</translation>
    </message>
    <message>
        <source>error:%1 + %2 &gt; %3</source>
        <translation>错误:%1 + %2 &gt; %3</translation>
    </message>
    <message>
        <source>sub packet len %1 !=512</source>
        <translation>子包长度 %1 !=512</translation>
    </message>
    <message>
        <source>offset:%1 total:%2</source>
        <translation>偏移:%1 总计:%2</translation>
    </message>
    <message>
        <source>sub packet hole %1</source>
        <translation>子包缺失 %1</translation>
    </message>
    <message>
        <source>crc error:PC:%1 :MCU:%2</source>
        <translation>CRC错误:PC:%1 :MCU:%2</translation>
    </message>
    <message>
        <source>bad zone header</source>
        <translation>区域头错误</translation>
    </message>
    <message>
        <source>crc error</source>
        <translation>CRC错误</translation>
    </message>
    <message>
        <source>init</source>
        <translation>初始化</translation>
    </message>
    <message>
        <source>ZoneDef already</source>
        <translation>区域定义就绪</translation>
    </message>
    <message>
        <source>package head is error</source>
        <translation>包头错误</translation>
    </message>
    <message>
        <source>OP_ZONE_ERASE</source>
        <translation>OP_ZONE_ERASE</translation>
    </message>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>OP_ZONE_RELOAD</source>
        <translation>OP_ZONE_RELOAD</translation>
    </message>
    <message>
        <source>timeout</source>
        <translation>超时</translation>
    </message>
</context>
<context>
    <name>Dialog_TrainData</name>
    <message>
        <source>Dialog</source>
        <translation>模型训练</translation>
    </message>
    <message>
        <source>模型列表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>加载雷达缓存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入在线雷达</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入异常模型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模型参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>距离阈值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>异常点数阈值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>运动检测阈值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>训练对象名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模型训练</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择训练数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择测试数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始训练</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>终止训练</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>object name</source>
        <translation>对象名称</translation>
    </message>
    <message>
        <source>sample num</source>
        <translation>样本数</translation>
    </message>
    <message>
        <source>time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>The train object name must not be empty nor hold white space!</source>
        <translation>训练对象名称不能为空，也不能包含空白字符！</translation>
    </message>
    <message>
        <source>The train data file path is open failed!</source>
        <translation>训练数据文件打开失败！</translation>
    </message>
    <message>
        <source>The data file is too large to read: %1 bytes</source>
        <translation>数据文件过大，无法读取：%1 字节</translation>
    </message>
    <message>
        <source>read file ok,pointcloud packet:%1 imu packet:%2</source>
        <translation>读取文件成功，点云包：%1 IMU包：%2</translation>
    </message>
    <message>
        <source>read imu ok,pitch:%1 roll:%2</source>
        <translation>读取IMU成功，俯仰：%1 横滚：%2</translation>
    </message>
    <message>
        <source>read imu ng</source>
        <translation>读取IMU失败</translation>
    </message>
    <message>
        <source>read pointcloud  ok</source>
        <translation>读取点云成功</translation>
    </message>
    <message>
        <source>train end</source>
        <translation>训练结束</translation>
    </message>
    <message>
        <source>reload train model</source>
        <translation>重新加载训练模型</translation>
    </message>
    <message>
        <source>delete model name:%1 %2</source>
        <translation>删除模型：%1 %2</translation>
    </message>
    <message>
        <source>create abnormal model:%1</source>
        <translation>创建异常模型：%1</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>train data (*.*)</source>
        <translation>训练数据 (*.*)</translation>
    </message>
    <message>
        <source>test data (*.*)</source>
        <translation>测试数据 (*.*)</translation>
    </message>
    <message>
        <source>model file (*.bin)</source>
        <translation>模型文件 (*.bin)</translation>
    </message>
    <message>
        <source>import file ok</source>
        <translation>导入文件成功</translation>
    </message>
    <message>
        <source>import file failed: %1</source>
        <translation>导入文件失败：%1</translation>
    </message>
    <message>
        <source>export file ok</source>
        <translation>导出文件成功</translation>
    </message>
    <message>
        <source>export file failed: %1</source>
        <translation>导出文件失败：%1</translation>
    </message>
    <message>
        <source>load model file failed: %1</source>
        <translation>加载模型文件失败：%1</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The maximum number of models is 8</source>
        <translation>模型数量最多为8个</translation>
    </message>
    <message>
        <source>Uploading models to a sensor is not available; the model file was saved to %1</source>
        <translation>不支持向雷达上传模型；模型文件已保存到 %1</translation>
    </message>
</context>
<context>
    <name>MessageLog</name>
    <message>
        <source>%1 messages left out</source>
        <translation>略去 %1 条消息</translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>get lidar parameters  OK</source>
        <translation>获取雷达参数  成功</translation>
    </message>
    <message>
        <source>IMU calibrate  OK</source>
        <translation>IMU校准  成功</translation>
    </message>
    <message>
        <source>%1 SET OK</source>
        <translation>%1 设置成功</translation>
    </message>
    <message>
        <source>%1 SET NG  code:%2</source>
        <translation>%1 设置失败  错误码:%2</translation>
    </message>
    <message>
        <source>%1 GET OK,timestamp:%2 count:%3</source>
        <translation>%1 获取成功,时间戳:%2 计数:%3</translation>
    </message>
    <message>
        <source>%1 SET %2</source>
        <translation>%1 设置 %2</translation>
    </message>
    <message>
        <source>mcu temperature:%1 motor temperature:%2</source>
        <translation>MCU温度:%1 电机温度:%2</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Multiple simultaneous connections to the host computer exist!</source>
        <translation>存在多个同时连接到上位机的连接!</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
</context>
</TS>
