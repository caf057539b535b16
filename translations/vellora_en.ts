<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CPictureListModel</name>
    <message>
        <source>尺寸 %1 × %2 像素</source>
        <translation>Size %1 × %2 pixels</translation>
    </message>
    <message>
        <source>拍摄时间 %1</source>
        <translation>Taken %1</translation>
    </message>
    <message>
        <source>文件大小 %1</source>
        <translation>File size %1</translation>
    </message>
    <message>
        <source>第 %1 类</source>
        <translation>Category %1</translation>
    </message>
    <message>
        <source>文件夹</source>
        <translation>folder</translation>
    </message>
    <message>
        <source>已勾选</source>
        <translation>ticked</translation>
    </message>
    <message>
        <source>类别：%1</source>
        <translation>Categories: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>CUploadClient</name>
    <message>
        <source>无法保存上传记录（磁盘可能已满），上传已停止。请腾出磁盘空间后重新上传。</source>
        <translation>The upload record could not be saved (the disk may be full), so the upload stopped. Free some disk space and upload again.</translation>
    </message>
    <message>
        <source>照片已被删除或移动</source>
        <translation>The photo was deleted or moved</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>上传记录无法保存</source>
        <translation>The upload record could not be saved</translation>
    </message>
    <message>
        <source>无法读取照片</source>
        <translation>The photo could not be read</translation>
    </message>
    <message>
        <source>照片在上传过程中被修改</source>
        <translation>The photo was changed while it was being uploaded</translation>
    </message>
    <message>
        <source>上传授权无效</source>
        <translation>The upload authorisation is not valid</translation>
    </message>
    <message>
        <source>无法转换为 JPEG</source>
        <translation>Could not be converted to JPEG</translation>
    </message>
    <message>
        <source>无法保存上传记录（磁盘可能已满）。</source>
        <translation>The upload record could not be saved (the disk may be full).</translation>
    </message>
</context>
<context>
    <name>CUploadRetry</name>
    <message>
        <source>服务器繁忙（HTTP 429）</source>
        <translation>The server is busy (HTTP 429)</translation>
    </message>
    <message>
        <source>服务器出错（HTTP %1）</source>
        <translation>Server error (HTTP %1)</translation>
    </message>
    <message>
        <source>服务器繁忙，请 %1 分钟后再试</source>
        <translation>The server is busy; try again in %1 minutes</translation>
    </message>
    <message>
        <source>服务器拒绝了请求（HTTP %1）</source>
        <translation>The server refused the request (HTTP %1)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>跟随系统</source>
        <translation>Follow the system</translation>
    </message>
    <message>
        <source>界面语言</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>设置未能保存（磁盘已满或不可写）。</source>
        <translation>The setting could not be saved (the disk is full or not writable).</translation>
    </message>
    <message>
        <source>界面语言将在下次启动软件时改为“%1”。</source>
        <translation>The interface language will change to “%1” the next time the program starts.</translation>
    </message>
    <message>
        <source>选择扫描对象目录</source>
        <translation>Choose a folder to scan</translation>
    </message>
    <message>
        <source>&amp;继续上次扫描</source>
        <translation>&amp;Continue the last scan</translation>
    </message>
    <message>
        <source>浏览已扫描照片</source>
        <translation>Browse exported pictures</translation>
    </message>
    <message>
        <source>&amp;过滤照片类型</source>
        <translation>&amp;Picture types</translation>
    </message>
    <message>
        <source>&amp;照片时间范围</source>
        <translation>Picture &amp;dates</translation>
    </message>
    <message>
        <source>&amp;新手帮助</source>
        <translation>&amp;Getting started</translation>
    </message>
    <message>
        <source>键盘快捷键</source>
        <translation>Keyboard shortcuts</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>撤销 (Ctrl+Z)</source>
        <translation>Undo (Ctrl+Z)</translation>
    </message>
    <message>
        <source>重做 (Ctrl+Shift+Z, Ctrl+Y)</source>
        <translation>Redo (Ctrl+Shift+Z, Ctrl+Y)</translation>
    </message>
    <message>
        <source>&amp;访问主页</source>
        <translation>Visit the &amp;home page</translation>
    </message>
    <message>
        <source>&amp;联系客服</source>
        <translation>Contact customer &amp;service</translation>
    </message>
    <message>
        <source>&amp;使用系统缩略图缓存</source>
        <translation>Use the system&apos;s &amp;thumbnail cache</translation>
    </message>
    <message>
        <source>&amp;文件</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;编辑</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;视图</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;设置</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>&amp;帮助</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>本次的工作记录未能保存（磁盘已满或不可写）！</source>
        <translation>This session&apos;s work could not be saved (the disk is full or not writable)!</translation>
    </message>
</context>
<context>
    <name>QCategoryRow</name>
    <message>
        <source>第 %1 类</source>
        <translation>Category %1</translation>
    </message>
    <message numerus="yes">
        <source>%n 张照片，打印尺寸 %1</source>
        <translation>
            <numerusform>%n picture, print size %1</numerusform>
            <numerusform>%n pictures, print size %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QComprareImageDlg</name>
    <message>
        <source>分类 %1</source>
        <translation>Category %1</translation>
    </message>
    <message>
        <source>清晰度 %1</source>
        <translation>Sharpness %1</translation>
    </message>
    <message>
        <source>清晰度无法评估</source>
        <translation>Sharpness cannot be rated</translation>
    </message>
</context>
<context>
    <name>QConnectCustomerDlg</name>
    <message>
        <source>客服热线：</source>
        <translation>Hotline: </translation>
    </message>
    <message>
        <source>客服QQ：  </source>
        <translation>QQ:  </translation>
    </message>
    <message>
        <source>客服服务</source>
        <translation>Customer service</translation>
    </message>
</context>
<context>
    <name>QEditPage</name>
    <message>
        <source>正在搜索图片，请耐心等待</source>
        <translation>Searching for pictures, please wait</translation>
    </message>
    <message>
        <source>正在加载，请耐心等待</source>
        <translation>Loading, please wait</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>工作记录未能保存（磁盘已满或不可写），上一次保存的记录仍然保留</source>
        <translation>Your work could not be saved (the disk is full or not writable); the last saved record is kept</translation>
    </message>
    <message>
        <source>%1 张照片 · 已勾选 %2 张 · 已分类 %3 张</source>
        <translation>%1 pictures · %2 ticked · %3 sorted</translation>
    </message>
    <message>
        <source>上次的工作记录无法读取。</source>
        <translation>The record of your last session could not be read.</translation>
    </message>
    <message>
        <source>上次的工作记录无法读取，已另存为“%1”。</source>
        <translation>The record of your last session could not be read; it was kept as “%1”.</translation>
    </message>
    <message>
        <source>对比相似照片</source>
        <translation>Compare look-alike pictures</translation>
    </message>
    <message>
        <source>上次的 %1 张照片现在找不到（文件不在原处），仍保留在记录中</source>
        <translation>%1 pictures of your last session cannot be found (the files have moved); they stay in the record</translation>
    </message>
    <message>
        <source>缩略图大小</source>
        <translation>Thumbnail size</translation>
    </message>
</context>
<context>
    <name>QInitPage</name>
    <message>
        <source>正在搜索图片，请耐心等待</source>
        <translation>Searching for pictures, please wait</translation>
    </message>
    <message>
        <source>选择文件夹扫描照片</source>
        <translation>Scan a folder for pictures</translation>
    </message>
    <message>
        <source>继续上次的工作</source>
        <translation>Continue the last session</translation>
    </message>
    <message>
        <source>浏览已导出的照片</source>
        <translation>Browse exported pictures</translation>
    </message>
    <message>
        <source>上传照片</source>
        <translation>Upload pictures</translation>
    </message>
    <message>
        <source>客服帮助</source>
        <translation>Customer help</translation>
    </message>
    <message>
        <source>搜索图片</source>
        <translation>Searching</translation>
    </message>
    <message>
        <source>扫描目录</source>
        <translation>Folder to scan</translation>
    </message>
</context>
<context>
    <name>QLoadInDlg</name>
    <message>
        <source>登陆</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>  密码：</source>
        <translation>  Password:</translation>
    </message>
    <message>
        <source>注册</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>正在登陆...</source>
        <translation>Logging in...</translation>
    </message>
    <message>
        <source>登陆失败，请检查网络后重试</source>
        <translation>Login failed; check the network and try again</translation>
    </message>
    <message>
        <source>登陆成功</source>
        <translation>Logged in</translation>
    </message>
</context>
<context>
    <name>QNoticeBox</name>
    <message>
        <source>提示信息：</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>QPhotoViewListWidget</name>
    <message>
        <source>显示大图</source>
        <translation>Show large</translation>
    </message>
    <message>
        <source>对比相似照片</source>
        <translation>Compare look-alike photos</translation>
    </message>
</context>
<context>
    <name>QSetFileTimeDlg</name>
    <message>
        <source>起始时间：</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>终止时间：</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>设置照片时间</source>
        <translation>Picture dates</translation>
    </message>
</context>
<context>
    <name>QSetFileTypeDlg</name>
    <message>
        <source>过滤图片类型：</source>
        <translation>Picture types to include:</translation>
    </message>
    <message>
        <source>设置照片类型</source>
        <translation>Picture types</translation>
    </message>
</context>
<context>
    <name>QShortcutsDlg</name>
    <message>
        <source>键盘快捷键</source>
        <translation>Keyboard shortcuts</translation>
    </message>
    <message>
        <source>按键</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>作用</source>
        <translation>Action</translation>
    </message>
</context>
<context>
    <name>QShowHelpDlg</name>
    <message>
        <source>照片拖拽操作图文教程：</source>
        <translation>How to sort pictures by dragging:</translation>
    </message>
    <message>
        <source>新手指引</source>
        <translation>Getting started</translation>
    </message>
</context>
<context>
    <name>QSignInDlg</name>
    <message>
        <source>注册</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>  用户名：</source>
        <translation>  User name:</translation>
    </message>
    <message>
        <source>    昵称：</source>
        <translation>    Nickname:</translation>
    </message>
    <message>
        <source>    密码：</source>
        <translation>    Password:</translation>
    </message>
    <message>
        <source>确认密码：</source>
        <translation>Confirm password:</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>注册失败，请检查网络后重试</source>
        <translation>Registration failed; check the network and try again</translation>
    </message>
    <message>
        <source>注册成功</source>
        <translation>Registered</translation>
    </message>
</context>
<context>
    <name>QTileItemDelegate</name>
    <message>
        <source>相似 %1</source>
        <translation>%1 alike</translation>
    </message>
</context>
<context>
    <name>QUpdateImageData</name>
    <message>
        <source>上次有 %1 张照片没有上传完，继续上传？</source>
        <translation>%1 photos were not finished uploading last time. Continue the upload?</translation>
    </message>
    <message>
        <source>%1 / %2 张，%3</source>
        <translation>%1 / %2 photos, %3</translation>
    </message>
    <message>
        <source>等待 %1 张 · 上传中 %2 张 · 已完成 %3 张 · 已跳过 %4 张 · 失败 %5 张</source>
        <translation>Waiting %1 · Uploading %2 · Done %3 · Skipped %4 · Failed %5</translation>
    </message>
    <message>
        <source>照片都已上传过，跳过 %1 张，没有重复上传。</source>
        <translation>All photos were uploaded before: %1 skipped, nothing sent twice.</translation>
    </message>
    <message>
        <source>照片上传完成！上传 %1 张，跳过已上传过的 %2 张。</source>
        <translation>Upload complete! %1 uploaded, %2 uploaded before and skipped.</translation>
    </message>
    <message>
        <source>照片上传结束：成功 %1 张</source>
        <translation>Upload finished: %1 succeeded</translation>
    </message>
    <message>
        <source>，跳过已上传过的 %1 张</source>
        <translation>, %1 uploaded before and skipped</translation>
    </message>
    <message>
        <source>，失败 %1 张。失败的照片及原因列在上传窗口中，可点击“重试失败的照片”重新上传。</source>
        <translation>, %1 failed. The failed photos and the reasons are listed in the upload window; click “Retry failed photos” to upload them again.</translation>
    </message>
</context>
<context>
    <name>QUploadFailureList</name>
    <message>
        <source>照片</source>
        <translation>Photo</translation>
    </message>
    <message>
        <source>原因</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>重试失败的照片</source>
        <translation>Retry failed photos</translation>
    </message>
    <message>
        <source>打开所在文件夹</source>
        <translation>Open containing folder</translation>
    </message>
    <message>
        <source>以下 %1 张照片没有上传成功：</source>
        <translation>These %1 photos were not uploaded:</translation>
    </message>
</context>
<context>
    <name>QUserDialogs</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>QViewMakeWidget</name>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
</context>
<context>
    <name>QViewPage</name>
    <message>
        <source>历史导出记录</source>
        <translation>Past exports</translation>
    </message>
</context>
</TS>
