#include "tests/merge_helpers.h"

ChannelVoiceTable test_voices;

namespace {

SongImage song_image;

}  // namespace

Bytes merged_stream(const Bytes& song) {
    put_song(song_image, song);
    std::uint32_t end = 0;
    MergedImage* merged = merge_song(song_image, 1.0, end);
    Bytes stream(merged->bytes + kMergedStreamStart, merged->bytes + end);
    delete merged;
    return stream;
}

Bytes merged_image(const Bytes& song) {
    put_song(song_image, song);
    std::uint32_t end = 0;
    MergedImage* merged = merge_song(song_image, 1.0, end);
    Bytes image(merged->bytes, merged->bytes + kMergedImageSize);
    delete merged;
    return image;
}

void play_song(const Bytes& song, VoiceOverride override, double factor) {
    put_song(song_image, song);
    merge_tracks(song_image, test_voices, override, factor);
}
