#include "controllersource.h"

#include "sdlcontrollers.h"

namespace {

std::unique_ptr<ControllerSource> &current()
{
    static std::unique_ptr<ControllerSource> source;
    return source;
}

} // namespace

namespace Controllers {

ControllerSource &source()
{
    // Made on first use, opened only by start().
    if (!current())
        current() = std::make_unique<SdlControllers>();
    return *current();
}

void setSource(std::unique_ptr<ControllerSource> source)
{
    current() = std::move(source);
}

} // namespace Controllers

#include "moc_controllersource.cpp"
