<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
</TS>
