<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>VemoGPS</name>
    <message>
        <location filename="../app/desktop/Translations.cpp"/>
        <source>VemoGPS－GPS工程测量网通用平差软件包  V%1</source>
        <translation>VemoGPS - General Adjustment Package for GPS Engineering Survey Networks  V%1</translation>
    </message>
</context>
</TS>
