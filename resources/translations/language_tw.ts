<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>BiologyIndustryDialog</name>
    <message>
        <source>Choose the application scene</source>
        <translation>選擇應用場景</translation>
    </message>
    <message>
        <source>Which kind of work is this microscope used for? The choice sets up the controls shown; it can be changed later in the Microscope menu.</source>
        <translation>這台顯微鏡用於哪類工作？該選擇決定顯示哪些控制項，之後可在「顯微鏡」選單中更改。</translation>
    </message>
    <message>
        <source>Biology</source>
        <translation>生物</translation>
    </message>
    <message>
        <source>Industry</source>
        <translation>工業</translation>
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
        <translation>語言</translation>
    </message>
    <message>
        <source>Microscope</source>
        <translation>顯微鏡</translation>
    </message>
    <message>
        <source>Biology</source>
        <translation>生物</translation>
    </message>
    <message>
        <source>Industry</source>
        <translation>工業</translation>
    </message>
    <message>
        <source>Style Settings</source>
        <translation>風格設定</translation>
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
        <translation>說明</translation>
    </message>
    <message>
        <source>No camera is open.</source>
        <translation>未開啟相機。</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>資訊</translation>
    </message>
    <message>
        <source>Take effect after restarting the client</source>
        <translation>重新啟動用戶端後生效</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The help document cannot be found.</source>
        <translation>找不到說明文件。</translation>
    </message>
</context>
</TS>
