<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ZnTipsInfo</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Set Name</source>
        <translation>设置名称</translation>
    </message>
    <message>
        <source>Delete current record?</source>
        <translation>确定删除当前记录？</translation>
    </message>
    <message>
        <source>Delete failed</source>
        <translation>删除失败</translation>
    </message>
    <message>
        <source>Delete chosen media?</source>
        <translation>确定删除选中的媒体？</translation>
    </message>
    <message>
        <source>The record no longer exists, nothing was changed!</source>
        <translation>该记录已不存在，未做任何更改！</translation>
    </message>
    <message>
        <source>Terminal can not be removed without offline!</source>
        <translation>终端在线时不能删除！</translation>
    </message>
    <message>
        <source>Current user does not have permission to edit!</source>
        <translation>当前用户没有编辑权限！</translation>
    </message>
    <message>
        <source>Name contains illegal characters!</source>
        <translation>名称包含非法字符！</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 及另外 %2 个</translation>
    </message>
    <message>
        <source>Can&apos;t check speaker when terminal not idle!</source>
        <translation>终端不空闲时不能检测喇叭！</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Is AEC</source>
        <translation>回声消除</translation>
    </message>
    <message>
        <source>Is PPT</source>
        <translation>按键通话</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>Sound Source Broadcast</source>
        <translation>音源广播</translation>
    </message>
    <message>
        <source>Mic Broadcast</source>
        <translation>话筒广播</translation>
    </message>
    <message>
        <source>Ring By Call</source>
        <translation>呼叫振铃</translation>
    </message>
    <message>
        <source>Talking</source>
        <translation>通话中</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>监听</translation>
    </message>
    <message>
        <source>EmergencyBroadcast</source>
        <translation>紧急广播</translation>
    </message>
    <message>
        <source>Login Out</source>
        <translation>离线</translation>
    </message>
</context>
<context>
    <name>ZnFileFailure</name>
    <message>
        <source>The disk is full</source>
        <translation>磁盘空间不足</translation>
    </message>
    <message>
        <source>The disk quota is exceeded</source>
        <translation>超出磁盘配额</translation>
    </message>
    <message>
        <source>The disk is read-only</source>
        <translation>磁盘只读</translation>
    </message>
    <message>
        <source>No permission to write</source>
        <translation>没有写入权限</translation>
    </message>
    <message>
        <source>No permission to read</source>
        <translation>没有读取权限</translation>
    </message>
    <message>
        <source>The folder does not exist</source>
        <translation>目录不存在</translation>
    </message>
    <message>
        <source>The file name is too long</source>
        <translation>文件名称超长</translation>
    </message>
    <message>
        <source>The file path is too long</source>
        <translation>文件路径超长</translation>
    </message>
    <message>
        <source>The disk failed to read or write</source>
        <translation>磁盘读写出错</translation>
    </message>
    <message>
        <source>A loop of links, or too many links in a row</source>
        <translation>符号链接循环或层数过多</translation>
    </message>
    <message>
        <source>The name is a folder</source>
        <translation>该名称是一个文件夹</translation>
    </message>
</context>
<context>
    <name>ZnConfigNotice</name>
    <message>
        <source>is a folder, not a regular file</source>
        <translation>是文件夹，不是普通文件</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>is larger than 1 MiB</source>
        <translation>大于 1 MiB</translation>
    </message>
    <message>
        <source>cannot be read (%1)</source>
        <translation>无法读取（%1）</translation>
    </message>
    <message>
        <source>Settings not read: config.ini holds null characters (NUL), it is no text file. The default settings are used this time.</source>
        <translation>设置未能读取：config.ini 含有空字符（NUL），不是文本文件。本次使用默认设置。</translation>
    </message>
    <message>
        <source>Settings not read: config.ini is saved as UTF-16, save it as UTF-8. The default settings are used this time.</source>
        <translation>设置未能读取：config.ini 以 UTF-16 编码保存，请另存为 UTF-8 编码。本次使用默认设置。</translation>
    </message>
    <message>
        <source>Settings not read: config.ini %1. The default settings are used this time.</source>
        <translation>设置未能读取：config.ini %1。本次使用默认设置。</translation>
    </message>
    <message>
        <source>The file is too large</source>
        <translation>文件过大</translation>
    </message>
    <message>
        <source>The file&apos;s form is wrong</source>
        <translation>文件格式有误</translation>
    </message>
    <message>
        <source>Settings not saved: config.ini cannot be written (%1).</source>
        <translation>设置未能保存：config.ini 无法写入（%1）。</translation>
    </message>
</context>
<context>
    <name>BaseSetNameDialog</name>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
</context>
<!-- task and region pages -->
<context>
    <name>QtSchemeInfo</name>
    <message>
        <source>Play Task</source>
        <translation>播放任务</translation>
    </message>
    <message>
        <source>Amp Task</source>
        <translation>功放任务</translation>
    </message>
    <message>
        <source>Power Task</source>
        <translation>电源任务</translation>
    </message>
    <message>
        <source>Volume Task</source>
        <translation>音量任务</translation>
    </message>
    <message>
        <source>Plan change failed!</source>
        <translation>方案修改失败!</translation>
    </message>
</context>
<context>
    <name>ZnBaseTaskMgrForm</name>
    <message>
        <source>Add Error!</source>
        <translation>添加失败！</translation>
    </message>
    <message>
        <source>Edit Error!</source>
        <translation>修改失败！</translation>
    </message>
    <message>
        <source>Broadcast Type</source>
        <translation>广播类型</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Play Volume</source>
        <translation>播放音量</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Task List</source>
        <translation>任务列表</translation>
    </message>
    <message>
        <source>Cap Broadcast</source>
        <translation>采集广播</translation>
    </message>
    <message>
        <source>TTS Broadcast</source>
        <translation>TTS广播</translation>
    </message>
    <message>
        <source>Mic Broadcast</source>
        <translation>话筒广播</translation>
    </message>
    <message>
        <source>File Play Broadcast</source>
        <translation>文件广播</translation>
    </message>
    <message>
        <source>Unknow</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>Illegality</source>
        <translation>非法</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除失败！</translation>
    </message>
    <message>
        <source>Task is runnig, it is not editable!</source>
        <translation>任务正在执行，不可编辑！</translation>
    </message>
    <message>
        <source>Start Error!</source>
        <translation>执行任务失败！</translation>
    </message>
    <message>
        <source>Stop Error!</source>
        <translation>停止任务失败！</translation>
    </message>
</context>
<context>
    <name>ZnExecTimeDialog</name>
    <message>
        <source>The name must not contain &quot;#$%&quot; or &quot;!!!&quot;!</source>
        <translation>名称不能包含&quot;#$%&quot;或&quot;!!!&quot;！</translation>
    </message>
</context>
<context>
    <name>ZnPlanTaskEditDialog</name>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>New Sound Source Task</source>
        <translation>新建音源任务</translation>
    </message>
    <message>
        <source>Sound Source Task Edit</source>
        <translation>音源任务编辑</translation>
    </message>
    <message>
        <source>The name cannot be empty!</source>
        <translation>名称不能为空！</translation>
    </message>
    <message>
        <source>Play times or counts must be selected!</source>
        <translation>请选择播放时长或播放次数！</translation>
    </message>
    <message>
        <source>Play time con&apos;t be 0!</source>
        <translation>播放时长不能为0！</translation>
    </message>
    <message>
        <source>Play counts con&apos;t be 0!</source>
        <translation>播放次数不能为0！</translation>
    </message>
    <message>
        <source>Please select play file!</source>
        <translation>请选择播放文件！</translation>
    </message>
    <message>
        <source>Please select terminal!</source>
        <translation>请选择采集终端！</translation>
    </message>
    <message>
        <source>Tts content can&apos;t be empty!</source>
        <translation>TTS内容不能为空！</translation>
    </message>
</context>
<context>
    <name>ZnPlanTaskMgrForm</name>
    <message>
        <source>Add Error!</source>
        <translation>添加失败！</translation>
    </message>
    <message>
        <source>Mic broadcast it is not editable!</source>
        <translation>话筒广播不可编辑！</translation>
    </message>
    <message>
        <source>Task is runnig, it is not editable!</source>
        <translation>任务正在执行，不可编辑！</translation>
    </message>
    <message>
        <source>Edit Error!</source>
        <translation>修改失败！</translation>
    </message>
</context>
<context>
    <name>ZnRegionEditDialog</name>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Region Edit</source>
        <translation>分区编辑</translation>
    </message>
    <message>
        <source>Region New</source>
        <translation>新建分区</translation>
    </message>
    <message>
        <source>The name cannot be empty!</source>
        <translation>名称不能为空！</translation>
    </message>
</context>
<context>
    <name>ZnRegionMgrForm</name>
    <message>
        <source>Region List</source>
        <translation>分区列表</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Player</source>
        <translation>播放终端</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除失败！</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置失败！</translation>
    </message>
    <message>
        <source>Add Error!</source>
        <translation>添加失败！</translation>
    </message>
    <message>
        <source>Edit Error!</source>
        <translation>修改失败！</translation>
    </message>
</context>
<context>
    <name>ZnTaskSourceCtrl</name>
    <message>
        <source>The file path must not contain &quot;@#$%&quot;!</source>
        <translation>文件路径不能包含&quot;@#$%&quot;！</translation>
    </message>
</context>
<context>
    <name>ZnTimerTaskEditDialog</name>
    <message>
        <source>Play times or counts must be selected!</source>
        <translation>请选择播放时长或播放次数！</translation>
    </message>
    <message>
        <source>Please select play file!</source>
        <translation>请选择播放文件！</translation>
    </message>
</context>
<context>
    <name>fRegionEditDialog</name>
    <message>
        <source>Region Edit</source>
        <translation>分区编辑</translation>
    </message>
</context>
<context>
    <name>fRegionInfoForm</name>
    <message>
        <source>Region List</source>
        <translation>分区列表</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>fTaskEditDialog</name>
    <message>
        <source>New Sound Source Task</source>
        <translation>新建音源任务</translation>
    </message>
</context>
<context>
    <name>fTaskInfoForm</name>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<!-- end of task and region pages -->
<context>
    <name>ZnTerTableWidgetStr</name>
    <message>
        <source>close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>open</source>
        <translation>打开</translation>
    </message>
</context>
<context>
    <name>ZnDialog</name>
    <message>
        <source>Manager Center</source>
        <translation>管理中心</translation>
    </message>
</context>
<context>
    <name>fCommonTableForm</name>
    <message>
        <source>Config</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>InfoCenterMgr</name>
    <message>
        <source>Programme Source</source>
        <translation>音源管理</translation>
    </message>
    <message>
        <source>Terminal Manage</source>
        <translation>终端管理</translation>
    </message>
    <message>
        <source>Advanced Setup </source>
        <translation>高级设置</translation>
    </message>
    <message>
        <source>User Log</source>
        <translation>日志管理</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>录音管理</translation>
    </message>
</context>
<context>
    <name>InfoCenterMgrClass</name>
    <message>
        <source>Terminal Type</source>
        <translation>终端类型</translation>
    </message>
    <message>
        <source>Player</source>
        <translation>播放终端</translation>
    </message>
    <message>
        <source>Server Mic</source>
        <translation>服务器话筒</translation>
    </message>
    <message>
        <source>Call Mic</source>
        <translation>呼叫话筒</translation>
    </message>
    <message>
        <source>Emergency Mic</source>
        <translation>紧急话筒</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>采集终端</translation>
    </message>
    <message>
        <source>TTS</source>
        <translation>TTS终端</translation>
    </message>
    <message>
        <source>Media Mgr</source>
        <translation>媒体管理</translation>
    </message>
    <message>
        <source>Server Group</source>
        <translation>话筒分组</translation>
    </message>
    <message>
        <source>Region Mgr</source>
        <translation>分区管理</translation>
    </message>
    <message>
        <source>System Setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>Talkback Record</source>
        <translation>对讲录音</translation>
    </message>
</context>
<context>
    <name>ZnMediaViewCtrl</name>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Media File</source>
        <translation>媒体文件</translation>
    </message>
</context>
<context>
    <name>ZnMediaTableCtrl</name>
    <message>
        <source>Media Name</source>
        <translation>媒体名称</translation>
    </message>
    <message>
        <source>File Size</source>
        <translation>文件大小</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>时长</translation>
    </message>
</context>
<context>
    <name>ZnLogTexts</name>
    <message>
        <source>EmergencyHelp</source>
        <translation>紧急求助</translation>
    </message>
    <message>
        <source>Talkback</source>
        <translation>对讲</translation>
    </message>
    <message>
        <source>Broadcast</source>
        <translation>广播</translation>
    </message>
    <message>
        <source>Begin Time</source>
        <translation>开始时间</translation>
    </message>
    <message>
        <source>End Time</source>
        <translation>结束时间</translation>
    </message>
    <message>
        <source>Caller Code</source>
        <translation>主叫号码</translation>
    </message>
    <message>
        <source>Caller Name</source>
        <translation>主叫名称</translation>
    </message>
    <message>
        <source>Called Code</source>
        <translation>被叫号码</translation>
    </message>
    <message>
        <source>Called Name</source>
        <translation>被叫名称</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>内容</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Terminal Id</source>
        <translation>终端ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>动作</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>用户名</translation>
    </message>
</context>
<context>
    <name>ZnLogPage</name>
    <message>
        <source>Talkback log server connect error!</source>
        <translation>日志服务器连接失败！</translation>
    </message>
</context>
<context>
    <name>ZnTalkLogInfoForm</name>
    <message>
        <source>Talk Log</source>
        <translation>广播日志</translation>
    </message>
</context>
<context>
    <name>ZnTermLogInfoForm</name>
    <message>
        <source>Terminal Log</source>
        <translation>终端日志</translation>
    </message>
</context>
<context>
    <name>ZnUserLogInfoForm</name>
    <message>
        <source>User Log</source>
        <translation>用户日志</translation>
    </message>
</context>
<context>
    <name>fLogInfoForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>上一页</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一页</translation>
    </message>
</context>
<context>
    <name>LogExportDialog</name>
    <message>
        <source>%1, the log was not exported!</source>
        <translation>%1，日志未能导出！</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 已存在，是否替换？</translation>
    </message>
</context>
<context>
    <name>ZnMediaMgrForm</name>
    <message>
        <source>Rename failed</source>
        <translation>重命名失败</translation>
    </message>
    <message>
        <source>Audio Files (*.mp3)</source>
        <translation>音频文件 (*.mp3)</translation>
    </message>
    <message>
        <source>save file</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>New Dir</source>
        <translation>新建目录</translation>
    </message>
</context>
<context>
    <name>ZnD72InfoForm</name>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Call Mic</source>
        <translation>呼叫话筒</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除错误！</translation>
    </message>
    <message>
        <source>Button Call Config Setting Error!</source>
        <translation>按键呼叫配置错误！</translation>
    </message>
</context>
<context>
    <name>ZnD74InfoForm</name>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Emergency Phone</source>
        <translation>紧急话筒</translation>
    </message>
    <message>
        <source>Move Mode</source>
        <translation>移动模式</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Text Content</source>
        <translation>显示内容</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>绿</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>黄</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红</translation>
    </message>
    <message>
        <source>Led Config Setting Error!</source>
        <translation>LED配置错误！</translation>
    </message>
    <message>
        <source>Left Move</source>
        <translation>左移</translation>
    </message>
    <message>
        <source>Right Move</source>
        <translation>右移</translation>
    </message>
    <message>
        <source>Up Move</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Down Move</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除错误！</translation>
    </message>
    <message>
        <source>Button Call Config Setting Error!</source>
        <translation>按键呼叫配置错误！</translation>
    </message>
</context>
<context>
    <name>ZnD72SettingDialog</name>
    <message>
        <source>Mic Setting</source>
        <translation>话筒设置</translation>
    </message>
    <message>
        <source>The name cannot be empty!</source>
        <translation>名称不能为空！</translation>
    </message>
</context>
<context>
    <name>ZnD74SettingDialog</name>
    <message>
        <source>Mic Setting</source>
        <translation>话筒设置</translation>
    </message>
    <message>
        <source>The name cannot be empty!</source>
        <translation>名称不能为空！</translation>
    </message>
    <message>
        <source>Left Move</source>
        <translation>左移</translation>
    </message>
    <message>
        <source>Right Move</source>
        <translation>右移</translation>
    </message>
    <message>
        <source>Up Move</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Down Move</source>
        <translation>下移</translation>
    </message>
</context>
<context>
    <name>ZnPlayerInfoForm</name>
    <message>
        <source>PRTerm</source>
        <translation>PR终端</translation>
    </message>
    <message>
        <source>IPTerm</source>
        <translation>IP终端</translation>
    </message>
    <message>
        <source>NDXSTerm</source>
        <translation>NDX-S终端</translation>
    </message>
    <message>
        <source>NDXTerm</source>
        <translation>NDX终端</translation>
    </message>
    <message>
        <source>CLTerm</source>
        <translation>CL终端</translation>
    </message>
    <message>
        <source>01Term</source>
        <translation>01终端</translation>
    </message>
    <message>
        <source>Off Line</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>Broadcasting</source>
        <translation>广播中</translation>
    </message>
    <message>
        <source>Mic Broadcast</source>
        <translation>话筒广播</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>告警</translation>
    </message>
    <message>
        <source>EmergencyBroadcast</source>
        <translation>紧急广播</translation>
    </message>
    <message>
        <source>Amp Warning</source>
        <translation>功放告警</translation>
    </message>
    <message>
        <source>Open Circuit</source>
        <translation>开路</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Short Circuit</source>
        <translation>短路</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>检测中</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除错误！</translation>
    </message>
</context>
<context>
    <name>ZnSystemSettingForm</name>
    <message>
        <source>The backup was not downloaded: %1</source>
        <translation>备份文件下载失败：%1</translation>
    </message>
    <message>
        <source>The restore file was not uploaded: %1</source>
        <translation>还原文件上传失败：%1</translation>
    </message>
    <message>
        <source>The server did not take the setting (result %1).</source>
        <translation>服务器未接受设置（结果 %1）！</translation>
    </message>
    <message>
        <source>Backup Files (*.backup)</source>
        <translation>备份文件 (*.backup)</translation>
    </message>
    <message>
        <source>The server made no backup (result %1).</source>
        <translation>服务器备份失败（结果 %1）！</translation>
    </message>
    <message>
        <source>The server reported an unusable backup file name: %1</source>
        <translation>服务器返回的备份文件名不可用：%1</translation>
    </message>
    <message>
        <source>%1 cannot be replaced.</source>
        <translation>%1 无法替换！</translation>
    </message>
    <message>
        <source>file service unavailable</source>
        <translation>文件服务不可用</translation>
    </message>
    <message>
        <source>The backup could not be saved in %1.</source>
        <translation>备份文件无法保存到 %1！</translation>
    </message>
    <message>
        <source>The backup could not be saved in %1: %2.</source>
        <translation>备份文件无法保存到 %1：%2！</translation>
    </message>
    <message>
        <source>A file named %1 exists there already; the backup was saved as %2.</source>
        <translation>该目录已有文件 %1，备份已另存为 %2。</translation>
    </message>
    <message>
        <source>%1 cannot be read.</source>
        <translation>%1 无法读取！</translation>
    </message>
</context>
<context>
    <name>ZnTalkRecordForm</name>
    <message>
        <source>Record List</source>
        <translation>录音列表</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>save file</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 已存在，是否替换？</translation>
    </message>
    <message>
        <source>%1 cannot be replaced.</source>
        <translation>%1 无法替换。</translation>
    </message>
</context>
<context>
    <name>ZnD82InfoForm</name>
    <message>
        <source>Call Config</source>
        <translation>呼叫配置</translation>
    </message>
</context>
<context>
    <name>ZnMicGroupInfoForm</name>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Servet Group List</source>
        <translation>服务话筒组列表</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>响铃规则</translation>
    </message>
    <message>
        <source>Ring Time</source>
        <translation>响铃时长</translation>
    </message>
    <message>
        <source>Server Mic</source>
        <translation>服务话筒</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除失败!</translation>
    </message>
    <message>
        <source>All Ring</source>
        <translation>全部振铃</translation>
    </message>
    <message>
        <source>Ring Least First</source>
        <translation>最少振铃优先</translation>
    </message>
    <message>
        <source>Answer Least First</source>
        <translation>最少应答优先</translation>
    </message>
    <message>
        <source>Talk Least First</source>
        <translation>最少通话优先</translation>
    </message>
    <message>
        <source>Fixed Order</source>
        <translation>固定顺序</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>Add Error!</source>
        <translation>添加失败!</translation>
    </message>
    <message>
        <source>Edit Error!</source>
        <translation>编辑失败!</translation>
    </message>
</context>
<context>
    <name>ZnMicGroupEditDialog</name>
    <message>
        <source>Mic Group Edit</source>
        <translation>编辑话筒组</translation>
    </message>
    <message>
        <source>Mic Group New</source>
        <translation>新建话筒组</translation>
    </message>
    <message>
        <source>The name cannot be empty!</source>
        <translation>名称不能为空！</translation>
    </message>
</context>
<context>
    <name>fMicGroupInfoForm</name>
    <message>
        <source>Config</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>ZnTtsInfoForm</name>
    <message>
        <source>TTS List</source>
        <translation>TTS列表</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>Begin Work</source>
        <translation>开始工作</translation>
    </message>
    <message>
        <source>Working</source>
        <translation>工作中</translation>
    </message>
    <message>
        <source>End Work</source>
        <translation>结束工作</translation>
    </message>
    <message>
        <source>Off Line</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除错误！</translation>
    </message>
</context>
<context>
    <name>ZnCapInfoForm</name>
    <message>
        <source>Call Config</source>
        <translation>呼叫配置</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>CaptureList</source>
        <translation>采集列表</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>CapVol</source>
        <translation>采集音量</translation>
    </message>
    <message>
        <source>Samplerate</source>
        <translation>采集音质</translation>
    </message>
    <message>
        <source>Medium </source>
        <translation>中等</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>高等</translation>
    </message>
    <message>
        <source>General</source>
        <translation>普通</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>Broadcasting</source>
        <translation>广播中</translation>
    </message>
    <message>
        <source>Off Line</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>Delete Error!</source>
        <translation>删除错误！</translation>
    </message>
</context>
<context>
    <name>ZnSetCapDialog</name>
    <message>
        <source>The name cannot be empty</source>
        <translation>名称不能为空</translation>
    </message>
</context>
<context>
    <name>TcpSocketClient</name>
    <message>
        <source>unsafe file name</source>
        <translation>文件名不安全</translation>
    </message>
    <message>
        <source>file exists</source>
        <translation>文件已存在</translation>
    </message>
    <message>
        <source>service not reached</source>
        <translation>无法连接文件服务</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>文件服务无应答</translation>
    </message>
    <message>
        <source>bad length</source>
        <translation>文件长度无效</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>无法写入 %1</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>传输中断</translation>
    </message>
    <message>
        <source>write failed</source>
        <translation>写入文件失败</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>无法读取 %1</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>文件服务拒绝</translation>
    </message>
</context>
<context>
    <name>ZnTranscodeProcess</name>
    <message>
        <source>lame crashed</source>
        <translation>转码程序崩溃</translation>
    </message>
    <message>
        <source>lame exit code %1</source>
        <translation>转码失败（退出码 %1）</translation>
    </message>
    <message>
        <source>lame not found</source>
        <translation>找不到转码程序 lame</translation>
    </message>
    <message>
        <source>lame wrote an incomplete file</source>
        <translation>转码文件不完整</translation>
    </message>
    <message>
        <source>conversion failed</source>
        <translation>转码失败</translation>
    </message>
</context>
<context>
    <name>ZnDownAndUploadViewCtr</name>
    <message>
        <source>conversion failed</source>
        <translation>转码失败</translation>
    </message>
</context>
<context>
    <name>ZnMicInfoForm</name>
    <message>
        <source>Server Mic</source>
        <translation>服务器话筒</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>Mic to Broadcast</source>
        <translation>话筒广播</translation>
    </message>
    <message>
        <source>Mic Call Ring</source>
        <translation>话筒呼叫振铃</translation>
    </message>
    <message>
        <source>Talkbacking</source>
        <translation>对讲中</translation>
    </message>
    <message>
        <source>Monitor Terminal</source>
        <translation>监听终端</translation>
    </message>
    <message>
        <source>Mic Stop Service</source>
        <translation>话筒停止服务</translation>
    </message>
    <message>
        <source>Off Line</source>
        <translation>离线</translation>
    </message>
</context>
<context>
    <name>ZnD81SettingDialog</name>
    <message>
        <source>Mic Setting</source>
        <translation>话筒设置</translation>
    </message>
    <message>
        <source>The name cannot be empty!</source>
        <translation>名称不能为空！</translation>
    </message>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
    <message>
        <source>Setting Monitor List Error!</source>
        <translation>提交监听名单错误！</translation>
    </message>
    <message>
        <source>Setting Ss Task List Error!</source>
        <translation>提交音源任务错误！</translation>
    </message>
    <message>
        <source>Setting Region List Error!</source>
        <translation>提交分区配置错误！</translation>
    </message>
</context>
<context>
    <name>ZnKeptEntries</name>
    <message>
        <source>The monitor list holds terminals that cannot be written back (ID %1); the monitor list was not changed.</source>
        <translation>监听名单中有无法写回的终端（ID %1），监听名单未修改！</translation>
    </message>
    <message>
        <source>The monitor list holds terminals of a type that cannot be written back (ID %1); the monitor list was not changed.</source>
        <translation>监听名单中有类型无法写回的终端（ID %1），监听名单未修改！</translation>
    </message>
    <message>
        <source>The contact list holds terminals that cannot be written back (ID %1); the contact list was not changed.</source>
        <translation>通信名单中有无法写回的终端（ID %1），通信名单未修改！</translation>
    </message>
    <message>
        <source>The contact list holds terminals of a type that cannot be written back (ID %1); the contact list was not changed.</source>
        <translation>通信名单中有类型无法写回的终端（ID %1），通信名单未修改！</translation>
    </message>
    <message>
        <source>The audio source list holds tasks that cannot be written back (ID %1); the audio source list was not changed.</source>
        <translation>音源任务中有无法写回的任务（ID %1），音源任务未修改！</translation>
    </message>
    <message>
        <source>The region list holds regions that cannot be written back (ID %1); the region list was not changed.</source>
        <translation>分区配置中有无法写回的分区（ID %1），分区配置未修改！</translation>
    </message>
    <message>
        <source>The group holds consoles that cannot be written back (ID %1); the group was not changed.</source>
        <translation>话筒组中有无法写回的话筒（ID %1），话筒组未修改！</translation>
    </message>
    <message>
        <source>The region holds terminals that cannot be written back (ID %1); the region was not changed.</source>
        <translation>分区中有无法写回的终端（ID %1），分区未修改！</translation>
    </message>
</context>
<context>
    <name>ZnFAlarmChannelDialog</name>
    <message>
        <source>The channel name cannot contain "%1" or "%2"</source>
        <translation>通道名称不能包含“%1”或“%2”</translation>
    </message>
</context>
</TS>
