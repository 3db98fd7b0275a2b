// The speed factor's steps: repeated addition of 0.02 within strict bounds, never
// rounded to a grid, so any mix of steps reaches the same 51 values.
#pragma once

constexpr double kNormalSpeed = 1.0;

double faster_speed(double factor);
double slower_speed(double factor);
// 100 - 100 x factor truncated toward zero: positive is faster than written.
int speed_percent(double factor);
