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
        <source>Can&apos;t check speaker when terminal not idle!</source>
        <translation>终端不空闲时不能检测喇叭！</translation>
    </message>
</context>
<context>
    <name>BaseSetNameDialog</name>
    <message>
        <source>Setting Error!</source>
        <translation>设置错误！</translation>
    </message>
</context>
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
        <source>%1 already exists. Replace it?</source>
        <translation>%1 已存在，是否替换？</translation>
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
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
</TS>
