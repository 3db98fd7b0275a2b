#include "ui/window_state.h"

#include <cstring>

SongImage song_image;
int song_loaded;
ChannelVoiceTable channel_voices;
double speed_factor;
VoiceOverride voice_override;
int program_step;
ClientSize client_size;
HPEN rule_pen;
char file_path[kPathSize];
char file_title[kPathSize];
SettingTexts setting_texts;
int settings_failure_said;

void reset_window_state() {
    song_image = SongImage{};
    song_loaded = 0;
    channel_voices = ChannelVoiceTable{};
    speed_factor = 0.0;
    voice_override = VoiceOverride{};
    program_step = 0;
    client_size = ClientSize{};
    rule_pen = nullptr;
    std::memset(file_path, 0, sizeof file_path);
    std::memset(file_title, 0, sizeof file_title);
    setting_texts = SettingTexts{};
    settings_failure_said = 0;
}
