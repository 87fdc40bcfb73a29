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
    <name>CamSettings</name>
    <message>
        <source>Camera</source>
        <translation>相机</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>Exposure, white balance, focus and the other camera controls will appear here.</source>
        <translation>曝光、白平衡、对焦等相机控件将显示在这里。</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
</context>
<context>
    <name>CameraSession</name>
    <message>
        <source>Failed to open camera!</source>
        <translation>打开相机失败！</translation>
    </message>
    <message>
        <source>Camera does not support current system, please use windows 10 and above systems!</source>
        <translation>相机不支持当前系统，请使用 Windows 10 及以上系统！</translation>
    </message>
    <message>
        <source>Unsupported camera model, open failed!</source>
        <translation>不支持的相机型号，打开失败！</translation>
    </message>
    <message>
        <source>Camera disconnected connection!</source>
        <translation>相机已断开连接！</translation>
    </message>
    <message>
        <source>The camera&apos;s current connection rate is usb2.0 or lower, and cannot be opened!</source>
        <translation>相机当前连接速率为 USB2.0 或更低，无法打开！</translation>
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
    <message>
        <source>Open Picture</source>
        <translation>打开图片</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.jpeg *.bmp *.tif *.tiff)</source>
        <translation>图片 (*.png *.jpg *.jpeg *.bmp *.tif *.tiff)</translation>
    </message>
    <message>
        <source>FPS: %1</source>
        <translation>帧率：%1</translation>
    </message>
    <message>
        <source>FPS: --</source>
        <translation>帧率：--</translation>
    </message>
    <message>
        <source>Uvc Camera</source>
        <translation>Uvc 相机</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>相机</translation>
    </message>
    <message>
        <source>Insufficient memory, please close some windows.</source>
        <translation>内存不足，请关闭一些窗口。</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.bmp *.tif)</source>
        <translation>图片 (*.png *.jpg *.bmp *.tif)</translation>
    </message>
    <message>
        <source>Failed to save the picture: %1</source>
        <translation>保存图片失败：%1</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Do you want to exit without saving?</source>
        <translation>是否不保存直接退出？</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>不保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Quick Save</source>
        <translation>快速保存</translation>
    </message>
    <message>
        <source>Quick Save All</source>
        <translation>全部快速保存</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>全部保存</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Close Other</source>
        <translation>关闭其他</translation>
    </message>
    <message>
        <source>Close All</source>
        <translation>全部关闭</translation>
    </message>
    <message>
        <source>Shortcut Settings</source>
        <translation>快捷键设置</translation>
    </message>
    <message>
        <source>Measurement results will be shown here.</source>
        <translation>测量结果将显示在这里。</translation>
    </message>
    <message>
        <source>Fit to Height</source>
        <translation>适应高度</translation>
    </message>
    <message>
        <source>Fit to Width</source>
        <translation>适应宽度</translation>
    </message>
    <message>
        <source>Fit to Window</source>
        <translation>适应窗口</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Acquire</source>
        <translation>采集</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>测量</translation>
    </message>
    <message>
        <source>Annotate</source>
        <translation>标注</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Photo, burst, time-lapse and video recording settings will be on this page.</source>
        <translation>拍照、连拍、延时拍摄和录像设置将在此页面。</translation>
    </message>
    <message>
        <source>Measurement tools and their results will be on this page.</source>
        <translation>测量工具及其结果将在此页面。</translation>
    </message>
    <message>
        <source>Annotation tools will be on this page.</source>
        <translation>标注工具将在此页面。</translation>
    </message>
    <message>
        <source>Report templates and export will be on this page.</source>
        <translation>报告模板和导出将在此页面。</translation>
    </message>
    <message>
        <source>Page Edit</source>
        <translation>页面编辑</translation>
    </message>
    <message>
        <source>%1 is not available yet.</source>
        <translation>%1 功能暂不可用。</translation>
    </message>
    <message>
        <source>Contrast View</source>
        <translation>对比视图</translation>
    </message>
    <message>
        <source>Save Picture</source>
        <translation>保存图片</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>设置无法保存到 %1：%2</translation>
    </message>
</context>
<context>
    <name>OpenGLVideoWidget</name>
    <message>
        <source>Current OpenGL version: %1, required version: %2. Please update the graphics card driver, otherwise the video screen will go black!</source>
        <translation>当前 OpenGL 版本：%1，需要版本：%2。请更新显卡驱动，否则视频画面将会黑屏！</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
</context>
<context>
    <name>PageEditorDialog</name>
    <message>
        <source>Main interface</source>
        <translation>主界面</translation>
    </message>
    <message>
        <source>Swap the main interface controls</source>
        <translation>交换主界面控件</translation>
    </message>
    <message>
        <source>Navigation bar at the bottom</source>
        <translation>导航栏置于底部</translation>
    </message>
    <message>
        <source>Show or hide the camera device controls</source>
        <translation>显示或隐藏相机设备控件</translation>
    </message>
    <message>
        <source>Nosepiece</source>
        <translation>物镜转换器</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>对焦</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>变倍</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>曝光</translation>
    </message>
    <message>
        <source>Slow Shutter</source>
        <translation>慢快门</translation>
    </message>
    <message>
        <source>WhiteBalance</source>
        <translation>白平衡</translation>
    </message>
    <message>
        <source>BlackBalance</source>
        <translation>黑平衡</translation>
    </message>
    <message>
        <source>LED</source>
        <translation>LED</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>Histogram</source>
        <translation>直方图</translation>
    </message>
    <message>
        <source>Flat-Field Correction</source>
        <translation>平场校正</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>旋转</translation>
    </message>
    <message>
        <source>Hue</source>
        <translation>色调</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>饱和度</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>对比度</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>锐度</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>伽马</translation>
    </message>
    <message>
        <source>DRC</source>
        <translation>DRC</translation>
    </message>
    <message>
        <source>Color Mode</source>
        <translation>色彩模式</translation>
    </message>
    <message>
        <source>Power Line Frequency</source>
        <translation>电源频率</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>翻转</translation>
    </message>
    <message>
        <source>Defog</source>
        <translation>去雾</translation>
    </message>
    <message>
        <source>Chromatic Aberration Correction</source>
        <translation>色差校正</translation>
    </message>
    <message>
        <source>Local Contrast</source>
        <translation>局部对比度</translation>
    </message>
    <message>
        <source>Negative</source>
        <translation>负片</translation>
    </message>
    <message>
        <source>Acquire</source>
        <translation>采集</translation>
    </message>
    <message>
        <source>Acquisition</source>
        <translation>采集</translation>
    </message>
    <message>
        <source>Stitching</source>
        <translation>拼接</translation>
    </message>
    <message>
        <source>Extended Depth of Field</source>
        <translation>景深扩展</translation>
    </message>
    <message>
        <source>Color Composite</source>
        <translation>颜色合成</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>计数</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>测量</translation>
    </message>
    <message>
        <source>Measurement</source>
        <translation>测量</translation>
    </message>
    <message>
        <source>Measurement tools in full screen</source>
        <translation>全屏时显示测量工具</translation>
    </message>
    <message>
        <source>Annotate</source>
        <translation>标注</translation>
    </message>
    <message>
        <source>Annotation</source>
        <translation>标注</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Page Editor</source>
        <translation>页面编辑器</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>ShortcutSettingsDialog</name>
    <message>
        <source>Snap</source>
        <translation>拍照</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>录像</translation>
    </message>
    <message>
        <source>SavePicture</source>
        <translation>保存图片</translation>
    </message>
    <message>
        <source>Time Lapse</source>
        <translation>延时拍摄</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Once Focus</source>
        <translation>单次对焦</translation>
    </message>
    <message>
        <source>Real-time Preview</source>
        <translation>实时预览</translation>
    </message>
    <message>
        <source>Image Copy</source>
        <translation>图像复制</translation>
    </message>
    <message>
        <source>Hand Mode</source>
        <translation>手型模式</translation>
    </message>
    <message>
        <source>Shortcut Key Settings</source>
        <translation>快捷键设置</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>对焦</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>变倍</translation>
    </message>
    <message>
        <source>Zoom video window</source>
        <translation>缩放视频窗口</translation>
    </message>
    <message>
        <source>Mouse wheel settings</source>
        <translation>鼠标滚轮设置</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Shortcut Key</source>
        <translation>快捷键</translation>
    </message>
    <message>
        <source>Hotkey settings</source>
        <translation>热键设置</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Hotkey settings repeat.</source>
        <translation>热键设置重复。</translation>
    </message>
</context>
<context>
    <name>UnsavedFilesDialog</name>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Do you want to exit without saving?</source>
        <translation>是否不保存直接退出？</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>不保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
