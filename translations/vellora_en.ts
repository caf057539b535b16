<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CCaptionedPixmap</name>
    <message>
        <source>返回</source>
        <translation>◂ Back</translation>
    </message>
    <message>
        <source>导出分类照片</source>
        <translation>Export categories</translation>
    </message>
    <message>
        <source>打开导出目录</source>
        <translation>Open export folder</translation>
    </message>
    <message>
        <source>上传到云端</source>
        <translation>Upload to cloud</translation>
    </message>
    <message>
        <source>在线冲印</source>
        <translation>Order prints</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>+ New</translation>
    </message>
    <message>
        <source>扫描照片</source>
        <translation>Scan photos</translation>
    </message>
    <message>
        <source>继续上次</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>历史导出</source>
        <translation>Past exports</translation>
    </message>
    <message>
        <source>上传照片</source>
        <translation>Upload photos</translation>
    </message>
    <message>
        <source>客服帮助
菜单 帮助 → 联系客服</source>
        <translation>Customer help
Menu Help → Contact us</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Next ▸</translation>
    </message>
    <message>
        <source>打开目录</source>
        <translation>Open folder</translation>
    </message>
</context>
<context>
    <name>CImageReading</name>
    <message>
        <source>图片过大（%1 × %2 像素），为保护内存未读取</source>
        <translation>Picture too large (%1 × %2 pixels); not read, to protect memory</translation>
    </message>
</context>
<context>
    <name>CPictureFormats</name>
    <message>
        <source>JPG类型</source>
        <translation>JPG</translation>
    </message>
    <message>
        <source>PNG类型</source>
        <translation>PNG</translation>
    </message>
    <message>
        <source>BMP类型</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>HEIC/HEIF类型</source>
        <translation>HEIC/HEIF</translation>
    </message>
    <message>
        <source>WebP类型</source>
        <translation>WebP</translation>
    </message>
    <message>
        <source>AVIF类型</source>
        <translation>AVIF</translation>
    </message>
    <message>
        <source>TIFF类型</source>
        <translation>TIFF</translation>
    </message>
    <message>
        <source>未找到读取此类型的插件，请安装软件包 %1</source>
        <translation>No plugin to read this type was found; please install the package %1</translation>
    </message>
</context>
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
    <name>CPrintSize</name>
    <message>
        <source>5寸</source>
        <translation>5″ (3.5×5 in)</translation>
    </message>
    <message>
        <source>6寸</source>
        <translation>6″ (4×6 in)</translation>
    </message>
    <message>
        <source>7寸</source>
        <translation>7″ (5×7 in)</translation>
    </message>
    <message>
        <source>8寸</source>
        <translation>8″ (6×8 in)</translation>
    </message>
    <message>
        <source>10寸</source>
        <translation>10″ (8×10 in)</translation>
    </message>
    <message>
        <source>12寸</source>
        <translation>12″ (10×12 in)</translation>
    </message>
    <message>
        <source>%1 · %2×%3 像素 · %4 dpi</source>
        <translation>%1 · %2×%3 pixels · %4 dpi</translation>
    </message>
</context>
<context>
    <name>CSelection</name>
    <message>
        <source>点击命名</source>
        <translation>Click to name</translation>
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
    <message>
        <source>无法连接服务器</source>
        <translation>Cannot connect to the server</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <source>网络连接中断</source>
        <translation>Network connection lost</translation>
    </message>
    <message>
        <source>服务器的回答过大</source>
        <translation>The service's answer is too large</translation>
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
    <message>
        <source>选片按键</source>
        <translation>Sorting keys</translation>
    </message>
    <message>
        <source>编辑	</source>
        <translation>Editing	</translation>
    </message>
</context>
<context>
    <name>QCateNextMakeDlg</name>
    <message>
        <source>用户调查</source>
        <translation>User survey</translation>
    </message>
    <message>
        <source>您对软件的使用是否感到满意：</source>
        <translation>Are you satisfied with the software?</translation>
    </message>
    <message>
        <source>满意</source>
        <translation>Satisfied</translation>
    </message>
    <message>
        <source>不满意</source>
        <translation>Not satisfied</translation>
    </message>
    <message>
        <source>其他：</source>
        <translation>Other:</translation>
    </message>
    <message>
        <source>提交并返回</source>
        <translation>Submit and go back</translation>
    </message>
    <message>
        <source>提交后关闭软件</source>
        <translation>Submit and quit</translation>
    </message>
    <message>
        <source>您的联系方式:</source>
        <translation>How to reach you:</translation>
    </message>
    <message>
        <source>电子邮箱：</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>QQ号码：  </source>
        <translation>QQ number:  </translation>
    </message>
</context>
<context>
    <name>QCatePage</name>
    <message>
        <source>%1 张照片的分辨率不足以清晰打印所选尺寸（低于 150 dpi）。仍要继续吗？</source>
        <translation>%1 pictures have too low a resolution to print sharply at the chosen size (below 150 dpi). Continue anyway?</translation>
    </message>
    <message>
        <source>保存照片</source>
        <translation>Save pictures</translation>
    </message>
    <message>
        <source>类别名称“%1”不能用作文件夹名称，请返回修改后再导出！</source>
        <translation>The category name “%1” cannot be used as a folder name. Please go back, change it, then export!</translation>
    </message>
    <message>
        <source>导出照片</source>
        <translation>Export pictures</translation>
    </message>
    <message>
        <source>正在导出 %1 / %2</source>
        <translation>Exporting %1 / %2</translation>
    </message>
    <message>
        <source>
导出记录未能保存（磁盘已满或不可写），历史页中不会列出这次导出。</source>
        <translation>
The export record could not be saved (disk full or not writable); the history page will not list this export.</translation>
    </message>
    <message>
        <source>无法创建类别“%1”的文件夹，导出已停止！</source>
        <translation>Could not create the folder of the category “%1”; the export has stopped!</translation>
    </message>
    <message>
        <source>无法在“%1”中写入选片记录，导出未完成！</source>
        <translation>Could not write the selection record in “%1”; the export is not complete!</translation>
    </message>
    <message>
        <source>保存图片成功</source>
        <translation>Pictures saved</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>已导出 %1 张照片，%2 张未能导出：%3</source>
        <translation>%1 pictures exported, %2 could not be exported: %3</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>请先导出目标文件夹！</source>
        <translation>Please export to a folder first!</translation>
    </message>
    <message>
        <source>正在进行上传，请稍后再次尝试！</source>
        <translation>An upload is in progress; please try again later!</translation>
    </message>
    <message>
        <source>上传尚未完成，请勿关闭软件！</source>
        <translation>The upload is not finished yet; please do not quit!</translation>
    </message>
</context>
<context>
    <name>QCategoryPicturesView</name>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
</context>
<context>
    <name>QCategoryRow</name>
    <message>
        <source>朋友</source>
        <translation>Friends</translation>
    </message>
    <message>
        <source>家人</source>
        <translation>Family</translation>
    </message>
    <message>
        <source>旅游</source>
        <translation>Travel</translation>
    </message>
    <message>
        <source>聚会</source>
        <translation>Party</translation>
    </message>
    <message>
        <source>打印尺寸</source>
        <translation>Print size</translation>
    </message>
    <message>
        <source>%1 张清晰度一般</source>
        <translation>%1 fairly sharp</translation>
    </message>
    <message>
        <source>%1 张清晰度不足</source>
        <translation>%1 not sharp enough</translation>
    </message>
    <message>
        <source>可拖拽照片至此(已选 %1 张)</source>
        <translation>Drag pictures here (%1 chosen)</translation>
    </message>
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
    <name>QCullingKeys</name>
    <message>
        <source>照片区	</source>
        <translation>Picture grid	</translation>
    </message>
    <message>
        <source>方向键	移动当前照片</source>
        <translation>Arrow keys	Move the current picture</translation>
    </message>
    <message>
        <source>PageUp / PageDown	翻页</source>
        <translation>PageUp / PageDown	Page up / down</translation>
    </message>
    <message>
        <source>Home / End	第一张 / 最后一张</source>
        <translation>Home / End	First / last picture</translation>
    </message>
    <message>
        <source>大图	</source>
        <translation>Large view	</translation>
    </message>
    <message>
        <source>1 – 9，Shift+1 – 9，0	同照片区，作用于显示的照片</source>
        <translation>1 – 9, Shift+1 – 9, 0	As in the grid, on the picture shown</translation>
    </message>
    <message>
        <source>勾选全部照片</source>
        <translation>Tick all pictures</translation>
    </message>
    <message>
        <source>取消全部勾选</source>
        <translation>Untick all</translation>
    </message>
    <message>
        <source>勾选或取消勾选当前照片</source>
        <translation>Tick or untick the current picture</translation>
    </message>
    <message>
        <source>看大图</source>
        <translation>View large</translation>
    </message>
    <message>
        <source>放入第 %1 个类别</source>
        <translation>Put into category %1</translation>
    </message>
    <message>
        <source>从第 %1 个类别移出</source>
        <translation>Take out of category %1</translation>
    </message>
    <message>
        <source>从所有类别移出</source>
        <translation>Take out of every category</translation>
    </message>
    <message>
        <source>上一张</source>
        <translation>Previous picture</translation>
    </message>
    <message>
        <source>下一张</source>
        <translation>Next picture</translation>
    </message>
    <message>
        <source>Ctrl+滚轮	上一张 / 下一张</source>
        <translation>Ctrl+wheel	Previous / next picture</translation>
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
    <message>
        <source>只显示每组第一张</source>
        <translation>Show only the first of each group</translation>
    </message>
    <message>
        <source>搜索图片</source>
        <translation>Searching pictures</translation>
    </message>
    <message>
        <source>加载数据</source>
        <translation>Loading data</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>已扫描</source>
        <translation>Scanned</translation>
    </message>
    <message>
        <source>勾选每组最清晰的一张</source>
        <translation>Tick the sharpest of each group</translation>
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
    <name>QPhotoViewImageDlg</name>
    <message>
        <source>%1 x %2 像素</source>
        <translation>%1 x %2 pixels</translation>
    </message>
    <message>
        <source>上一张 (←，Ctrl+滚轮向上)</source>
        <translation>Previous (←, Ctrl+wheel up)</translation>
    </message>
    <message>
        <source>下一张 (→，Ctrl+滚轮向下)</source>
        <translation>Next (→, Ctrl+wheel down)</translation>
    </message>
    <message>
        <source>←/→ 或 Ctrl+滚轮 上一张/下一张；1–9 放入类别，Shift+1–9 移出，0 移出全部类别</source>
        <translation>←/→ or Ctrl+wheel: previous/next; 1–9 put into a category, Shift+1–9 take out, 0 take out of every category</translation>
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
    <message>
        <source>方向键、PageUp/PageDown、Home/End 移动；空格 勾选；Ctrl+A 全选；Esc 取消勾选；
1–9 放入类别，Shift+1–9 移出，0 移出全部类别；回车 看大图；Ctrl+滚轮 缩放</source>
        <translation>Arrow keys, PageUp/PageDown, Home/End move; Space ticks; Ctrl+A ticks all; Esc unticks;
1–9 put into a category, Shift+1–9 take out, 0 take out of every category; Enter views large; Ctrl+wheel zooms</translation>
    </message>
</context>
<context>
    <name>QSelectionCommands</name>
    <message>
        <source>类别 %1</source>
        <translation>Category %1</translation>
    </message>
    <message>
        <source>放入 %1 (%2 张)</source>
        <translation>Put into %1 (%2 pictures)</translation>
    </message>
    <message>
        <source>清空 %1</source>
        <translation>Empty %1</translation>
    </message>
    <message>
        <source>移出 %1 (%2 张)</source>
        <translation>Take out of %1 (%2 pictures)</translation>
    </message>
    <message>
        <source>新建类别</source>
        <translation>New category</translation>
    </message>
    <message>
        <source>重命名 %1</source>
        <translation>Rename %1</translation>
    </message>
    <message>
        <source>冲印尺寸 %1 %2</source>
        <translation>Print size %1 %2</translation>
    </message>
</context>
<context>
    <name>QSelectionEditor</name>
    <message>
        <source>移出 全部类别 (%1 张)</source>
        <translation>Take out of every category (%1 pictures)</translation>
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
    <message>
        <source>最清晰</source>
        <translation>Sharpest</translation>
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
    <message>
        <source>上传图片</source>
        <translation>Upload pictures</translation>
    </message>
    <message>
        <source>上传图片地址：</source>
        <translation>Folder to upload:</translation>
    </message>
    <message>
        <source>上传</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>扫描目录</source>
        <translation>Choose folder</translation>
    </message>
    <message>
        <source>所选目录中没有可上传的照片！</source>
        <translation>The chosen folder has no pictures to upload!</translation>
    </message>
    <message>
        <source>照片上传完成！</source>
        <translation>Pictures uploaded!</translation>
    </message>
    <message>
        <source>
其中 %1 张照片已转换为 JPEG 格式上传。</source>
        <translation>
%1 of them were converted to JPEG for the upload.</translation>
    </message>
    <message>
        <source>正在进行上传，请稍后再次尝试！</source>
        <translation>An upload is in progress; please try again later!</translation>
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
