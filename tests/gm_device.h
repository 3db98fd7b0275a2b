// A General MIDI device's channels as a test judges them: what each holds after power-on
// and the short messages it was sent, described so that two states compare as texts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_platform.h"

using DeviceState = std::vector<std::string>;

// The sixteen channels after the messages.
DeviceState device_state(const std::vector<DWORD>& short_messages);
// The same, a reset message among them putting every channel back to power-on.
DeviceState device_state(const std::vector<MidiRecord>& records);
// The channels that differ, each as expected and as found.
::testing::AssertionResult same_state(const DeviceState& expected, const DeviceState& found);
