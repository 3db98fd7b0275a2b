#include "ui/window_state.h"

SongImage song_image;
int song_loaded;
ChannelVoiceTable channel_voices;
int play_state;
double speed_factor;
VoiceOverride voice_override;
int program_step;
ClientSize client_size;
HPEN rule_pen;
char file_path[kPathSize];
char file_title[kPathSize];
SettingTexts setting_texts;
