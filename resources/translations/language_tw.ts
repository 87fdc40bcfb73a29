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
    <name>CamSettings</name>
    <message>
        <source>Camera</source>
        <translation>相機</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型號</translation>
    </message>
    <message>
        <source>Exposure, white balance, focus and the other camera controls will appear here.</source>
        <translation>曝光、白平衡、對焦等相機控件將顯示在這裡。</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打開</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>繼續</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暫停</translation>
    </message>
</context>
<context>
    <name>CameraSession</name>
    <message>
        <source>Failed to open camera!</source>
        <translation>打開相機失敗！</translation>
    </message>
    <message>
        <source>Camera does not support current system, please use windows 10 and above systems!</source>
        <translation>相機不支援當前系統，請使用 Windows 10 及以上系統！</translation>
    </message>
    <message>
        <source>Unsupported camera model, open failed!</source>
        <translation>不支援的相機型號，打開失敗！</translation>
    </message>
    <message>
        <source>Camera disconnected connection!</source>
        <translation>相機已斷開連接！</translation>
    </message>
    <message>
        <source>The camera&apos;s current connection rate is usb2.0 or lower, and cannot be opened!</source>
        <translation>相機當前連接速率為 USB2.0 或更低，無法打開！</translation>
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
    <message>
        <source>Open Picture</source>
        <translation>打開圖片</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.jpeg *.bmp *.tif *.tiff)</source>
        <translation>圖片 (*.png *.jpg *.jpeg *.bmp *.tif *.tiff)</translation>
    </message>
    <message>
        <source>FPS: %1</source>
        <translation>幀率：%1</translation>
    </message>
    <message>
        <source>FPS: --</source>
        <translation>幀率：--</translation>
    </message>
    <message>
        <source>Uvc Camera</source>
        <translation>Uvc 相機</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>相機</translation>
    </message>
    <message>
        <source>Insufficient memory, please close some windows.</source>
        <translation>記憶體不足，請關閉一些視窗。</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.bmp *.tif)</source>
        <translation>圖片 (*.png *.jpg *.bmp *.tif)</translation>
    </message>
    <message>
        <source>Failed to save the picture: %1</source>
        <translation>保存圖片失敗：%1</translation>
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
        <translation>關閉</translation>
    </message>
    <message>
        <source>Close Other</source>
        <translation>關閉其他</translation>
    </message>
    <message>
        <source>Close All</source>
        <translation>全部關閉</translation>
    </message>
    <message>
        <source>Shortcut Settings</source>
        <translation>快捷鍵設置</translation>
    </message>
    <message>
        <source>Measurement results will be shown here.</source>
        <translation>測量結果將顯示在這裡。</translation>
    </message>
    <message>
        <source>Fit to Height</source>
        <translation>適應高度</translation>
    </message>
    <message>
        <source>Fit to Width</source>
        <translation>適應寬度</translation>
    </message>
    <message>
        <source>Fit to Window</source>
        <translation>適應視窗</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>全螢幕</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>設備</translation>
    </message>
    <message>
        <source>Acquire</source>
        <translation>採集</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>測量</translation>
    </message>
    <message>
        <source>Annotate</source>
        <translation>標註</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>報告</translation>
    </message>
    <message>
        <source>Photo, burst, time-lapse and video recording settings will be on this page.</source>
        <translation>拍照、連拍、延時拍攝和錄影設置將在此頁面。</translation>
    </message>
    <message>
        <source>Measurement tools and their results will be on this page.</source>
        <translation>測量工具及其結果將在此頁面。</translation>
    </message>
    <message>
        <source>Annotation tools will be on this page.</source>
        <translation>標註工具將在此頁面。</translation>
    </message>
    <message>
        <source>Report templates and export will be on this page.</source>
        <translation>報告範本和匯出將在此頁面。</translation>
    </message>
    <message>
        <source>Page Edit</source>
        <translation>頁面編輯</translation>
    </message>
    <message>
        <source>%1 is not available yet.</source>
        <translation>%1 功能暫不可用。</translation>
    </message>
    <message>
        <source>Contrast View</source>
        <translation>對比視圖</translation>
    </message>
    <message>
        <source>Save Picture</source>
        <translation>保存圖片</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>設定無法儲存到 %1：%2</translation>
    </message>
</context>
<context>
    <name>OpenGLVideoWidget</name>
    <message>
        <source>Current OpenGL version: %1, required version: %2. Please update the graphics card driver, otherwise the video screen will go black!</source>
        <translation>當前 OpenGL 版本：%1，需要版本：%2。請更新顯示卡驅動，否則視訊畫面將會黑屏！</translation>
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
        <translation>主介面</translation>
    </message>
    <message>
        <source>Swap the main interface controls</source>
        <translation>交換主介面控件</translation>
    </message>
    <message>
        <source>Navigation bar at the bottom</source>
        <translation>導航列置於底部</translation>
    </message>
    <message>
        <source>Show or hide the camera device controls</source>
        <translation>顯示或隱藏相機設備控件</translation>
    </message>
    <message>
        <source>Nosepiece</source>
        <translation>物鏡轉換器</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>對焦</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>變倍</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>曝光</translation>
    </message>
    <message>
        <source>Slow Shutter</source>
        <translation>慢快門</translation>
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
        <translation>直方圖</translation>
    </message>
    <message>
        <source>Flat-Field Correction</source>
        <translation>平場校正</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>旋轉</translation>
    </message>
    <message>
        <source>Hue</source>
        <translation>色調</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>飽和度</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>對比度</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>銳度</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>伽馬</translation>
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
        <translation>電源頻率</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>翻轉</translation>
    </message>
    <message>
        <source>Defog</source>
        <translation>去霧</translation>
    </message>
    <message>
        <source>Chromatic Aberration Correction</source>
        <translation>色差校正</translation>
    </message>
    <message>
        <source>Local Contrast</source>
        <translation>局部對比度</translation>
    </message>
    <message>
        <source>Negative</source>
        <translation>負片</translation>
    </message>
    <message>
        <source>Acquire</source>
        <translation>採集</translation>
    </message>
    <message>
        <source>Acquisition</source>
        <translation>採集</translation>
    </message>
    <message>
        <source>Stitching</source>
        <translation>拼接</translation>
    </message>
    <message>
        <source>Extended Depth of Field</source>
        <translation>景深擴展</translation>
    </message>
    <message>
        <source>Color Composite</source>
        <translation>顏色合成</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>計數</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>測量</translation>
    </message>
    <message>
        <source>Measurement</source>
        <translation>測量</translation>
    </message>
    <message>
        <source>Measurement tools in full screen</source>
        <translation>全螢幕時顯示測量工具</translation>
    </message>
    <message>
        <source>Annotate</source>
        <translation>標註</translation>
    </message>
    <message>
        <source>Annotation</source>
        <translation>標註</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>報告</translation>
    </message>
    <message>
        <source>Page Editor</source>
        <translation>頁面編輯器</translation>
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
        <translation>錯誤</translation>
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
        <translation>錄影</translation>
    </message>
    <message>
        <source>SavePicture</source>
        <translation>保存圖片</translation>
    </message>
    <message>
        <source>Time Lapse</source>
        <translation>延時拍攝</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暫停</translation>
    </message>
    <message>
        <source>Once Focus</source>
        <translation>單次對焦</translation>
    </message>
    <message>
        <source>Real-time Preview</source>
        <translation>即時預覽</translation>
    </message>
    <message>
        <source>Image Copy</source>
        <translation>圖像複製</translation>
    </message>
    <message>
        <source>Hand Mode</source>
        <translation>手型模式</translation>
    </message>
    <message>
        <source>Shortcut Key Settings</source>
        <translation>快捷鍵設置</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>對焦</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>變倍</translation>
    </message>
    <message>
        <source>Zoom video window</source>
        <translation>縮放視訊視窗</translation>
    </message>
    <message>
        <source>Mouse wheel settings</source>
        <translation>滑鼠滾輪設置</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Shortcut Key</source>
        <translation>快捷鍵</translation>
    </message>
    <message>
        <source>Hotkey settings</source>
        <translation>熱鍵設置</translation>
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
        <translation>熱鍵設置重複。</translation>
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
