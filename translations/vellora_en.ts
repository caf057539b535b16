<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
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
</context>
<context>
    <name>QComprareImageDlg</name>
    <message>
        <source>分类 %1</source>
        <translation>Category %1</translation>
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
</context>
<context>
    <name>QInitPage</name>
    <message>
        <source>正在搜索图片，请耐心等待</source>
        <translation>Searching for pictures, please wait</translation>
    </message>
</context>
<context>
    <name>QPhotoItem</name>
    <message>
        <source>相似 %1</source>
        <translation>Alike %1</translation>
    </message>
</context>
<context>
    <name>QPhotoViewListWidget</name>
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
</context>
</TS>
