// What the window keeps for the whole run: the song, the settings, the play state and
// the texts that show them.
#pragma once

#include "instruments/channel_voices.h"
#include "platform/win32.h"
#include "playback/timeline.h"
#include "smf/song_image.h"

constexpr int kPathSize = MAX_PATH;

struct SettingTexts {
    char switch_text[5];    // "無効" or "有効"
    char channel_text[5];   // "16  "
    char program_text[49];  // "128   " + 40-byte name + "  "
    char step_text[3];      // "1 " or "8 "
    char speed_text[7];     // "-50%  "
};

struct ClientSize {
    int width;
    int height;
};

extern SongImage song_image;
extern int song_loaded;  // 0 until a song file has been read into song_image
extern ChannelVoiceTable channel_voices;
extern double speed_factor;
extern VoiceOverride voice_override;
extern int program_step;  // 0: step 1, 1: step 8
extern ClientSize client_size;
extern HPEN rule_pen;
extern char file_path[kPathSize];
extern char file_title[kPathSize];
extern SettingTexts setting_texts;
extern int settings_failure_said;  // 1 once a failed save of the settings was said

// Puts every field above back as the program starts it (zero); the window's creation
// then sets what it sets.
void reset_window_state();
