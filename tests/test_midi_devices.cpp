// The Linux layer's MIDI outputs: the embedded synthesizer as device 0, the ALSA
// sequencer's ports after it, and the conversion of messages into sequencer events.
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/linux/seq_sink.h"
#include "platform/synth/synth_loading.h"
#include "platform/win32.h"
#include "tests/smf_bytes.h"

namespace {

// The next event the receiver gets within two seconds, or nullptr.
snd_seq_event_t* next_event(snd_seq_t* receiver) {
    int count = snd_seq_poll_descriptors_count(receiver, POLLIN);
    std::vector<pollfd> fds(static_cast<std::size_t>(count));
    snd_seq_poll_descriptors(receiver, fds.data(), static_cast<unsigned>(count), POLLIN);
    snd_seq_event_t* event = nullptr;
    if (snd_seq_event_input_pending(receiver, 1) == 0 &&
        poll(fds.data(), static_cast<nfds_t>(count), 2000) <= 0)
        return nullptr;
    return snd_seq_event_input(receiver, &event) >= 0 ? event : nullptr;
}

}  // namespace

TEST(MidiDevices, DeviceZeroIsTheEmbeddedSynthesizerWhichTheMapperOpensToo) {
    std::string wav = temp_dir() + "/device0.wav";
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + wav).c_str(), 1);
    UINT count = midiOutGetNumDevs();
    ASSERT_GE(count, 1u);
    MIDIOUTCAPSA caps;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutGetDevCapsA(0, &caps, sizeof caps));
    EXPECT_STREQ("FluidSynth", caps.szPname);
    EXPECT_EQ(MOD_SWSYNTH, caps.wTechnology);
    EXPECT_EQ(MMSYSERR_BADDEVICEID, midiOutGetDevCapsA(count, &caps, sizeof caps));
    HMIDIOUT output = nullptr;
    EXPECT_EQ(MMSYSERR_BADDEVICEID, midiOutOpen(&output, count, 0, 0, CALLBACK_NULL));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&output, 0, 0, 0, CALLBACK_NULL));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(output, 0x403C90));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(output));
    struct stat info;
    ASSERT_EQ(0, stat(wav.c_str(), &info)) << "device 0 renders where LUMAROTH_MIDI_OUT says";
    EXPECT_GT(info.st_size, 44);
}

TEST(MidiDevices, TheSynthesizerPlaysATimedNoteAtItsTimeInTheRenderersBlocks) {
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + temp_dir() + "/timed.wav").c_str(), 1);
    HMIDIOUT output = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&output, 0, 0, 0, CALLBACK_NULL));
    // As the timer's thread sends: the note due 100 ms from now.
    DWORD sent = timeGetTime();
    std::thread([output, sent] {
        EXPECT_EQ(MMSYSERR_NOERROR, midiOutSetDueTime(output, sent + 100, 500));
        EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(output, 0x7F3C90));
    }).join();
    EXPECT_EQ(MMSYSERR_INVALPARAM, midiOutSetDueTime(output, sent, 1000));
    int sounding = 0;
    while (sounding == 0 && timeGetTime() - sent < 1000) {
        sounding = synth_active_voice_count();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    DWORD heard = timeGetTime() - sent;
    EXPECT_GT(sounding, 0);
    EXPECT_GE(heard, 100u) << "not before its time";
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(output));
}

TEST(MidiDevices, AHandleThatIsNotOpenIsRefusedByEveryCallAndNeverTouched) {
    setenv("LUMAROTH_MIDI_OUT", ("wav:" + temp_dir() + "/handles.wav").c_str(), 1);
    HMIDIOUT closed = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&closed, MIDI_MAPPER, 0, 0, CALLBACK_NULL));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutClose(closed));
    char bytes[] = {'\xF0', '\x7E', '\x7F', '\x09', '\x01', '\xF7'};
    MIDIHDR header = {};
    header.lpData = bytes;
    header.dwBufferLength = sizeof bytes;
    header.dwFlags = MHDR_PREPARED;
    WORD patches[128] = {1};
    // Freed, never opened, or nothing at all: the sanitizer build sees any touch.
    for (HMIDIOUT stale : {closed, reinterpret_cast<HMIDIOUT>(&header), HMIDIOUT{}}) {
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutShortMsg(stale, 0x403C90));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutPrepareHeader(stale, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutLongMsg(stale, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutUnprepareHeader(stale, &header, sizeof header));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutCachePatches(stale, 0, patches, MIDI_CACHE_ALL));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutCacheDrumPatches(stale, 0, patches, MIDI_CACHE_ALL));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutSetVolume(stale, 0xFFFFFFFF));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutSetDueTime(stale, 0, 0));
        EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutClose(stale));
    }
    EXPECT_EQ(header.dwFlags, MHDR_PREPARED) << "the header untouched";
}

TEST(MidiDevices, AFailedOpenIsExplainedInTheLayersOwnWords) {
    setenv("LUMAROTH_MIDI_OUT", "nowhere", 1);
    HMIDIOUT output = nullptr;
    MMRESULT result = midiOutOpen(&output, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
    ASSERT_NE(MMSYSERR_NOERROR, result);
    char text[MAXERRORLENGTH];
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutGetErrorTextA(result, text, sizeof text));
    EXPECT_STREQ("unknown LUMAROTH_MIDI_OUT 'nowhere' (use synth or wav:PATH)", text);
    char small[8];
    midiOutGetErrorTextA(result, small, sizeof small);
    EXPECT_STREQ("unknown", small) << "cut to the buffer";
}

TEST(SequencerEvents, ChannelMessagesAndSysexBecomeTheirSequencerEvents) {
    snd_midi_event_t* encoder = nullptr;
    ASSERT_EQ(0, snd_midi_event_new(16, &encoder));
    auto seq_event_from_short = [encoder](DWORD message, snd_seq_event_t& event) {
        return ::seq_event_from_short(encoder, message, event);
    };
    snd_seq_event_t event;
    ASSERT_TRUE(seq_event_from_short(0x7F3C93, event));
    EXPECT_EQ(SND_SEQ_EVENT_NOTEON, event.type);
    EXPECT_EQ(3, event.data.note.channel);
    EXPECT_EQ(60, event.data.note.note);
    EXPECT_EQ(127, event.data.note.velocity);
    ASSERT_TRUE(seq_event_from_short(0x003C83, event));
    EXPECT_EQ(SND_SEQ_EVENT_NOTEOFF, event.type);
    ASSERT_TRUE(seq_event_from_short(0x0A3CA1, event));
    EXPECT_EQ(SND_SEQ_EVENT_KEYPRESS, event.type);
    EXPECT_EQ(10, event.data.note.velocity);
    ASSERT_TRUE(seq_event_from_short(0x4007B5, event));
    EXPECT_EQ(SND_SEQ_EVENT_CONTROLLER, event.type);
    EXPECT_EQ(5, event.data.control.channel);
    EXPECT_EQ(7u, event.data.control.param);
    EXPECT_EQ(64, event.data.control.value);
    ASSERT_TRUE(seq_event_from_short(0x0005C9, event));
    EXPECT_EQ(SND_SEQ_EVENT_PGMCHANGE, event.type);
    EXPECT_EQ(5, event.data.control.value);
    ASSERT_TRUE(seq_event_from_short(0x0040D0, event));
    EXPECT_EQ(SND_SEQ_EVENT_CHANPRESS, event.type);
    EXPECT_EQ(64, event.data.control.value);
    for (auto [message, value] : {std::pair{0x4000E0u, 0}, {0x7F7FE0u, 8191}, {0x0000E0u, -8192}}) {
        ASSERT_TRUE(seq_event_from_short(message, event));
        EXPECT_EQ(SND_SEQ_EVENT_PITCHBEND, event.type);
        EXPECT_EQ(value, event.data.control.value) << std::hex << message;
    }
    EXPECT_FALSE(seq_event_from_short(0xF8, event)) << "no channel message";

    const unsigned char sysex[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    seq_event_from_sysex(sysex, sizeof sysex, event);
    EXPECT_EQ(SND_SEQ_EVENT_SYSEX, event.type);
    EXPECT_EQ(SND_SEQ_EVENT_LENGTH_VARIABLE, event.flags & SND_SEQ_EVENT_LENGTH_MASK);
    EXPECT_EQ(sizeof sysex, event.data.ext.len);
    EXPECT_EQ(sysex, event.data.ext.ptr);
    snd_midi_event_free(encoder);
}

TEST(SequencerOutput, APortGetsTheMessagesAndOneThatIsGoneFailsTheSend) {
    if (access("/dev/snd/seq", R_OK | W_OK) != 0)
        GTEST_SKIP() << "no ALSA sequencer on this machine (/dev/snd/seq)";
    snd_seq_t* receiver = nullptr;
    ASSERT_GE(snd_seq_open(&receiver, "default", SND_SEQ_OPEN_INPUT, 0), 0);
    snd_seq_set_client_name(receiver, "Lumaroth test");
    int port = snd_seq_create_simple_port(receiver, "receiver",
                                          SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC);
    ASSERT_GE(port, 0);
    std::string name = std::to_string(snd_seq_client_id(receiver)) + ":" + std::to_string(port) +
                       " Lumaroth test:receiver";
    UINT device = 0;
    UINT count = midiOutGetNumDevs();
    for (UINT i = 1; i < count && device == 0; ++i) {
        MIDIOUTCAPSA caps;
        if (midiOutGetDevCapsA(i, &caps, sizeof caps) == MMSYSERR_NOERROR && name == caps.szPname)
            device = i;
    }
    ASSERT_NE(0u, device) << "the receiver's port is listed as " << name;

    HMIDIOUT output = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&output, device, 0, 0, CALLBACK_NULL));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(output, 0x403C90));
    char sysex[] = {'\xF0', '\x7E', '\x7F', '\x09', '\x01', '\xF7'};
    MIDIHDR header = {};
    header.lpData = sysex;
    header.dwBufferLength = sizeof sysex;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(output, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(output, &header, sizeof header));
    midiOutUnprepareHeader(output, &header, sizeof header);

    snd_seq_event_t* event = next_event(receiver);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(SND_SEQ_EVENT_NOTEON, event->type);
    EXPECT_EQ(60, event->data.note.note);
    event = next_event(receiver);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(SND_SEQ_EVENT_SYSEX, event->type);
    ASSERT_EQ(sizeof sysex, event->data.ext.len);
    EXPECT_EQ(0, std::memcmp(sysex, event->data.ext.ptr, sizeof sysex));

    snd_seq_close(receiver);  // the device is unplugged
    EXPECT_EQ(MIDIERR_NODEVICE, midiOutShortMsg(output, 0x003C80));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(output));
}

TEST(SequencerEvents, AMessagePlaysOnTheQueueTheLatencyAfterItsDueTimeAcrossTheClocksWrap) {
    // The playback clock 2^32 ms in: timeGetTime has wrapped to 0 and reads 3 ms.
    const std::int64_t now_ns = (std::int64_t{1} << 32) * 1000000 + 3250000;
    const std::int64_t due_ns = due_point_ns(DuePoint{0xFFFFFFFEu, 500}, now_ns);
    EXPECT_EQ(now_ns - 4750000, due_ns) << "4.75 ms before now, before the wrap";
    EXPECT_EQ(now_ns + 7000000, due_point_ns(DuePoint{10, 250}, now_ns));

    // A queue started 1 s before now: the message plays 16 ms after its due time.
    snd_seq_real_time_t at = seq_queue_time(due_ns, now_ns - 1000000000);
    EXPECT_EQ(1u, at.tv_sec);
    EXPECT_EQ(16000000u - 4750000u, at.tv_nsec);
    at = seq_queue_time(now_ns - 60000000, now_ns - 10000000);
    EXPECT_EQ(0u, at.tv_sec);
    EXPECT_EQ(0u, at.tv_nsec) << "never before the queue's start";
}
