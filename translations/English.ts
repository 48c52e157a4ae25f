<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
    <message>
        <source>socket receive buffer is %1 bytes, %2 asked: packets may be lost at high rates; raise the limit with: sysctl -w net.core.rmem_max=%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frame dropped: more than %1 points without a frame end</source>
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
