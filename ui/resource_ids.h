// The ids the menu, the buttons and the resources share with the resource files.
#pragma once

constexpr int kMenuResource = 101;
constexpr int kIconResource = 102;
constexpr int kAcceleratorResource = 103;
// 移動…: a time to jump to, typed in the edit line.
constexpr int kGoToDialog = 104;
constexpr int kGoToTime = 1001;

constexpr int kCommandOpen = 40001;
constexpr int kCommandExit = 40002;
constexpr int kCommandVersion = 40003;
constexpr int kCommandHelp = 40004;
// 一時停止 pauses a playing song and resumes a paused one; Space does that and plays a
// stopped one.
constexpr int kCommandPause = 40005;
constexpr int kCommandPlayOrPause = 40240;
// The jumps in the song: 5 s back (Left), 5 s on (Right), to the start (Home), to a time.
constexpr int kCommandBack = 40006;
constexpr int kCommandForward = 40007;
constexpr int kCommandToStart = 40008;
constexpr int kCommandGoTo = 40009;
// 次の曲 and 前の曲 (Page Down, Page Up): the songs of the song's folder.
constexpr int kCommandNextSong = 40010;
constexpr int kCommandPreviousSong = 40011;
// 繰り返し: なし, 1曲, フォルダ as kCommandRepeat + the mode (ui/play_modes.h).
constexpr int kCommandRepeat = 40012;
// ループ回数: 1, 2 or 3 passes as kCommandLoops + passes; for ever kCommandLoops.
constexpr int kCommandLoops = 40020;
// 表示: the channel window (F2) and the lyrics window (F3).
constexpr int kCommandChannels = 40030;
constexpr int kCommandLyrics = 40031;
// Mute and solo of channel c (0-15): kCommandMute + c, kCommandSolo + c; keys 1-9 and 0
// for channels 1-10, with Shift for solo.
constexpr int kCommandMute = 40040;
constexpr int kCommandSolo = 40060;
// ファイル's 最近使ったファイル, built at start: song i as kCommandRecent + i.
constexpr int kCommandRecent = 40300;
// The 出力 menu, built at start: device i as kCommandOutputMapper + 1 + i, the mapper after
// device 0.
constexpr int kCommandOutputMapper = 40100;
// Its 音量 pop-up: v % as kCommandVolume + v / 10; Ctrl+Up and Ctrl+Down step it.
constexpr int kCommandVolume = 40200;
constexpr int kCommandVolumeUp = 40220;
constexpr int kCommandVolumeDown = 40221;
constexpr int kCommandSoundFont = 40230;
// Its エフェクト pop-up: 標準, 控えめ and なし as kCommandEffects + 0, 1 and 2.
constexpr int kCommandEffects = 40240;

constexpr int kButtonPlay = 101;
constexpr int kButtonStop = 102;
constexpr int kButtonSwitch = 103;
constexpr int kButtonChannel = 104;
constexpr int kButtonProgram = 105;
constexpr int kButtonStep = 106;
constexpr int kButtonFaster = 107;
constexpr int kButtonSlower = 108;
constexpr int kButtonNormalSpeed = 109;
// The position area: elapsed and total time, and the seek bar.
constexpr int kPositionText = 201;
constexpr int kPositionBar = 202;
constexpr int kVolumeText = 203;
