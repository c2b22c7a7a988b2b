#include "controllersource.h"

namespace {

// Until controllers can be read, a source that never has a button.
class NoControllers : public ControllerSource
{
public:
    void start() override { }
    QString problem() const override { return {}; }
};

std::unique_ptr<ControllerSource> &current()
{
    static std::unique_ptr<ControllerSource> source;
    return source;
}

} // namespace

namespace Controllers {

ControllerSource &source()
{
    if (!current())
        current() = std::make_unique<NoControllers>();
    return *current();
}

void setSource(std::unique_ptr<ControllerSource> source)
{
    current() = std::move(source);
}

} // namespace Controllers
