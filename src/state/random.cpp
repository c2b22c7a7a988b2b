#include "random.h"

#include <chrono>
#include <random>
#include <utility>

namespace {

std::mt19937 &engine()
{
    static std::mt19937 generator{5489u};
    return generator;
}

std::function<double()> & override()
{
    static std::function<double()> source;
    return source;
}

} // namespace

namespace Random {

void seed(quint32 value)
{
    engine().seed(value);
}

void seedFromClock()
{
    seed(static_cast<quint32>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

double next()
{
    if (override())
        return override()();
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine());
}

int pickOneBased(int count)
{
    if (count <= 0)
        return 1;
    const int pick = static_cast<int>(next() * count) + 1;
    // Guards against a source that returns exactly 1.
    return pick > count ? count : pick;
}

void setSource(std::function<double()> source)
{
    override() = std::move(source);
}

} // namespace Random
