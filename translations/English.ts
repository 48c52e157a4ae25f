<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Dialog_Debug</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
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
    <name>Dialog_Fix_Point_Detect</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
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
    <name>Dialog_ParseData</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
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
</context>
<context>
    <name>RecvBoxDataProc</name>
    <message>
        <source>Disconnect lidar connection successful</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open socket failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecvDataProc</name>
    <message>
        <source>lidar data reception is ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
        <translation type="unfinished"></translation>
    </message>
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
    <message>
        <source>open socket failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar disconnect ok</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecvDataProc2</name>
    <message>
        <source>lidar data reception is ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
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
    <message>
        <source>lidar disconnect ok</source>
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
        <source>lidar data reception is ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
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
        <source>lidar disconnect ok</source>
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
</TS>
