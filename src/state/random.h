#pragma once

#include <QtGlobal>

#include <functional>

// The program's one uniform pseudo-random generator, seeded once at start-up.
namespace Random {

void seed(quint32 value);
void seedFromClock();

// A value in [0, 1).
double next();

// A whole number from 1 to count, each equally likely: Int(r * count) + 1.
int pickOneBased(int count);

// Tests replace the source with a fixed sequence; an empty function restores it.
void setSource(std::function<double()> source);

} // namespace Random
