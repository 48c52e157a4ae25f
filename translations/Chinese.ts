<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
</TS>
