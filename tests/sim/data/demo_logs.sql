-- The demo's newest calls, the same as the simulator's talk log (tests/sim/data/demo.json),
-- so that their recordings are the ones its file service holds. Run after mariadb.sh start.
INSERT INTO talklog_bak (begin_time, end_time, callerId, calledId, callerName, calledName, type,
                         source_name, recordfile) VALUES
  (FROM_UNIXTIME(1796544900), FROM_UNIXTIME(1796544947), 8002, 70001, '教学楼二层', '值班室', '2', '求助', '/data/mp3/录音/20261206_081500_8002.mp3'),
  (FROM_UNIXTIME(1796545800), FROM_UNIXTIME(1796545854), 8003, 70001, '门卫室', '值班室', '0', '寻呼', '/data/mp3/录音/20261206_083000_8003.mp3'),
  (FROM_UNIXTIME(1796546700), FROM_UNIXTIME(1796546761), 8004, 70001, '体育馆', '值班室', '1', '广播"早读"', NULL),
  (FROM_UNIXTIME(1796547600), FROM_UNIXTIME(1796547668), 8005, 70001, '食堂', '值班室', '2', '求助', '/data/mp3/录音/20261206_090000_8005.mp3'),
  (FROM_UNIXTIME(1796548500), FROM_UNIXTIME(1796548575), 8001, 70001, '教学楼一层', '值班室', '3', '对讲', '/data/mp3/录音/20261206_091500_8001.mp3'),
  (FROM_UNIXTIME(1796549400), FROM_UNIXTIME(1796549482), 8002, 70001, '教学楼二层', '值班室', '1', '广播"早读"', NULL),
  (FROM_UNIXTIME(1796550300), FROM_UNIXTIME(1796550389), 8003, 70001, '门卫室', '值班室', '2', '求助', '/data/mp3/录音/20261206_094500_8003.mp3'),
  (FROM_UNIXTIME(1796551200), FROM_UNIXTIME(1796551296), 8004, 70001, '体育馆', '值班室', '0', '寻呼', '/data/mp3/录音/20261206_100000_8004.mp3'),
  (FROM_UNIXTIME(1796552100), FROM_UNIXTIME(1796552203), 8005, 70001, '食堂', '值班室', '1', '广播"早读"', NULL),
  (FROM_UNIXTIME(1796553000), FROM_UNIXTIME(1796553110), 8001, 70001, '教学楼一层', '值班室', '2', '求助', '/data/mp3/录音/20261206_103000_8001.mp3'),
  (FROM_UNIXTIME(1796553900), FROM_UNIXTIME(1796554017), 8002, 70001, '教学楼二层', '值班室', '3', '对讲', '/data/mp3/录音/20261206_104500_8002.mp3'),
  (FROM_UNIXTIME(1796554800), FROM_UNIXTIME(1796554924), 8003, 70001, '门卫室', '值班室', '1', '广播"早读"', NULL);
