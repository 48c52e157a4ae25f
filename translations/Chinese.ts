<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
    <message>
        <source>socket receive buffer is %1 bytes, %2 asked: packets may be lost at high rates; raise the limit with: sysctl -w net.core.rmem_max=%3</source>
        <translation>套接字接收缓冲区为 %1 字节，请求 %2 字节：高速率时可能丢包；可用以下命令提高上限：sysctl -w net.core.rmem_max=%3</translation>
    </message>
    <message>
        <source>frame dropped: more than %1 points without a frame end</source>
        <translation>丢弃帧：超过 %1 个点仍无帧结束标志</translation>
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
