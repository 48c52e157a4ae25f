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
</context>
<context>
    <name>Page_Box</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
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
</context>
<context>
    <name>RecvBoxDataProc</name>
    <message>
        <source>Disconnect lidar connection successful</source>
        <translation>断开雷达连接成功</translation>
    </message>
    <message>
        <source>open socket failed</source>
        <translation>打开套接字失败</translation>
    </message>
</context>
<context>
    <name>RecvDataProc</name>
    <message>
        <source>lidar data reception is ok</source>
        <translation>雷达数据接收正常</translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
        <translation>雷达命令接收正常</translation>
    </message>
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
    <message>
        <source>open socket failed</source>
        <translation>打开套接字失败</translation>
    </message>
    <message>
        <source>lidar disconnect ok</source>
        <translation>雷达断开成功</translation>
    </message>
</context>
<context>
    <name>RecvDataProc2</name>
    <message>
        <source>lidar data reception is ok</source>
        <translation>雷达数据接收正常</translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
        <translation>雷达命令接收正常</translation>
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
    <message>
        <source>lidar disconnect ok</source>
        <translation>雷达断开成功</translation>
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
        <source>lidar data reception is ok</source>
        <translation>雷达数据接收正常</translation>
    </message>
    <message>
        <source>lidar cmd reception is ok</source>
        <translation>雷达命令接收正常</translation>
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
        <source>lidar disconnect ok</source>
        <translation>雷达断开成功</translation>
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
</TS>
