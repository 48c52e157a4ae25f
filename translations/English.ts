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
    <name>Page_Box</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
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
