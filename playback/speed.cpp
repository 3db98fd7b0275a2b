#include "playback/speed.h"

namespace {

constexpr double kSpeedStep = 0.02;
constexpr double kFastestBound = 0.5;
constexpr double kSlowestBound = 1.5;

}  // namespace

double faster_speed(double factor) {
    return factor > kFastestBound ? factor - kSpeedStep : factor;
}

double slower_speed(double factor) {
    return factor < kSlowestBound ? factor + kSpeedStep : factor;
}

int speed_percent(double factor) {
    double product = factor * 100;
    return static_cast<int>(100 - product);
}
