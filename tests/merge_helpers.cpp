#include "tests/merge_helpers.h"

ChannelVoiceTable test_voices;

namespace {

SongImage song_image;

}  // namespace

Bytes merged_stream(const Bytes& song) {
    put_song(song_image, song);
    std::uint32_t end = 0;
    std::unique_ptr<MergedImage> merged = merge_song(song_image, 1.0, end);
    return Bytes(merged->bytes + kMergedStreamStart, merged->bytes + end);
}

Bytes merged_image(const Bytes& song) {
    put_song(song_image, song);
    std::uint32_t end = 0;
    std::unique_ptr<MergedImage> merged = merge_song(song_image, 1.0, end);
    return Bytes(merged->bytes, merged->bytes + kMergedImageSize);
}

void play_song(const Bytes& song, VoiceOverride override, double factor) {
    put_song(song_image, song);
    merge_tracks(song_image, test_voices, override, factor);
}
