<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BiologyIndustryDialog</name>
    <message>
        <source>Choose the application scene</source>
        <translation>选择应用场景</translation>
    </message>
    <message>
        <source>Which kind of work is this microscope used for? The choice sets up the controls shown; it can be changed later in the Microscope menu.</source>
        <translation>这台显微镜用于哪类工作？该选择决定显示哪些控件，之后可在“显微镜”菜单中更改。</translation>
    </message>
    <message>
        <source>Biology</source>
        <translation>生物</translation>
    </message>
    <message>
        <source>Industry</source>
        <translation>工业</translation>
    </message>
</context>
<context>
    <name>MainWindow2</name>
    <message>
        <source>Lumora</source>
        <translation>Lumora</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Microscope</source>
        <translation>显微镜</translation>
    </message>
    <message>
        <source>Biology</source>
        <translation>生物</translation>
    </message>
    <message>
        <source>Industry</source>
        <translation>工业</translation>
    </message>
    <message>
        <source>Style Settings</source>
        <translation>风格设置</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>No camera is open.</source>
        <translation>未打开相机。</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Take effect after restarting the client</source>
        <translation>重启客户端后生效</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The help document cannot be found.</source>
        <translation>找不到帮助文档。</translation>
    </message>
</context>
</TS>
