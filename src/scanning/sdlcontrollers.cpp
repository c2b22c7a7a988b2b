#include "sdlcontrollers.h"

#include "controlleraccess.h"

#include "state/logcategories.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QList>
#include <QMetaObject>

#include <SDL.h>

#include <chrono>
#include <map>

namespace {

// SDL is loaded when controllers are first read, not with the program: the
// library and the sound, X11 and Wayland libraries it brings along would add
// some 5 ms to every start. These are the functions the reading uses.
namespace sdl {

decltype(&::SDL_SetHint) SetHint = nullptr;
decltype(&::SDL_Init) Init = nullptr;
decltype(&::SDL_Quit) Quit = nullptr;
decltype(&::SDL_GetError) GetError = nullptr;
decltype(&::SDL_PumpEvents) PumpEvents = nullptr;
decltype(&::SDL_PeepEvents) PeepEvents = nullptr;
decltype(&::SDL_IsGameController) IsGameController = nullptr;
decltype(&::SDL_GameControllerOpen) GameControllerOpen = nullptr;
decltype(&::SDL_GameControllerClose) GameControllerClose = nullptr;
decltype(&::SDL_GameControllerGetJoystick) GameControllerGetJoystick = nullptr;
decltype(&::SDL_GameControllerName) GameControllerName = nullptr;
decltype(&::SDL_JoystickOpen) JoystickOpen = nullptr;
decltype(&::SDL_JoystickClose) JoystickClose = nullptr;
decltype(&::SDL_JoystickName) JoystickName = nullptr;
decltype(&::SDL_JoystickInstanceID) JoystickInstanceID = nullptr;

template<typename Function> bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

// Loads the library once for the process, and keeps it: what keeps it from
// loading, or nothing.
QString load()
{
    static const QString failure = [] {
        static QLibrary library(QStringLiteral("SDL2-2.0"), 0);
        if (!library.load())
            return library.errorString();
        const bool resolved = resolve(library, "SDL_SetHint", SetHint) && resolve(library, "SDL_Init", Init)
            && resolve(library, "SDL_Quit", Quit) && resolve(library, "SDL_GetError", GetError)
            && resolve(library, "SDL_PumpEvents", PumpEvents)
            && resolve(library, "SDL_PeepEvents", PeepEvents)
            && resolve(library, "SDL_IsGameController", IsGameController)
            && resolve(library, "SDL_GameControllerOpen", GameControllerOpen)
            && resolve(library, "SDL_GameControllerClose", GameControllerClose)
            && resolve(library, "SDL_GameControllerGetJoystick", GameControllerGetJoystick)
            && resolve(library, "SDL_GameControllerName", GameControllerName)
            && resolve(library, "SDL_JoystickOpen", JoystickOpen)
            && resolve(library, "SDL_JoystickClose", JoystickClose)
            && resolve(library, "SDL_JoystickName", JoystickName)
            && resolve(library, "SDL_JoystickInstanceID", JoystickInstanceID);
        return resolved ? QString() : library.errorString();
    }();
    return failure;
}

} // namespace sdl

// The objects reading now, so that they stop before the application ends.
// Never freed: the program's own source ends among the static objects, in
// an order of their making.
QList<SdlControllers *> &reading()
{
    static auto *const objects = new QList<SdlControllers *>;
    return *objects;
}

void stopAllReading()
{
    const QList<SdlControllers *> objects = reading();
    for (SdlControllers *object : objects)
        object->stop();
}

QString sdlText(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

// The controllers SDL reports, opened as they come and closed as they go;
// what they do reaches the source's signals on the GUI thread.
class OpenControllers
{
public:
    explicit OpenControllers(SdlControllers &source)
        : m_source(source)
    { }
    OpenControllers(const OpenControllers &) = delete;
    OpenControllers &operator=(const OpenControllers &) = delete;
    ~OpenControllers()
    {
        for (const auto &[id, controller] : m_controllers)
            sdl::GameControllerClose(controller);
        for (const auto &[id, joystick] : m_joysticks)
            sdl::JoystickClose(joystick);
    }

    void handle(const SDL_Event &event)
    {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            addController(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (const auto found = m_controllers.find(event.cdevice.which); found != m_controllers.end()) {
                sdl::GameControllerClose(found->second);
                m_controllers.erase(found);
                removed(event.cdevice.which);
            }
            break;
        case SDL_JOYDEVICEADDED:
            // A game controller comes again as SDL_CONTROLLERDEVICEADDED.
            if (!sdl::IsGameController(event.jdevice.which))
                addJoystick(event.jdevice.which);
            break;
        case SDL_JOYDEVICEREMOVED:
            if (const auto found = m_joysticks.find(event.jdevice.which); found != m_joysticks.end()) {
                sdl::JoystickClose(found->second);
                m_joysticks.erase(found);
                removed(event.jdevice.which);
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            button(event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            // The buttons of a game controller come again by their mapping.
            if (m_joysticks.count(event.jbutton.which) != 0
                && event.jbutton.button < SDL_CONTROLLER_BUTTON_MAX)
                button(event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
            break;
        default:
            break;
        }
    }

private:
    void addController(int index)
    {
        SDL_GameController *controller = sdl::GameControllerOpen(index);
        if (!controller) {
            qCWarning(lcScanning, "controller %d could not be opened: %s", index, sdl::GetError());
            return;
        }
        const SDL_JoystickID id = sdl::JoystickInstanceID(sdl::GameControllerGetJoystick(controller));
        if (m_controllers.count(id) != 0) {
            // Opened already: this only counted a second reference.
            sdl::GameControllerClose(controller);
            return;
        }
        m_controllers[id] = controller;
        added(id, sdlText(sdl::GameControllerName(controller)));
    }

    // A switch interface is often a plain joystick that SDL has no
    // game-controller mapping for. Its button n is taken as the game
    // controller's button n, so "controller:a" is its first button, as a
    // mapping that follows the joystick's order would make it.
    void addJoystick(int index)
    {
        SDL_Joystick *joystick = sdl::JoystickOpen(index);
        if (!joystick) {
            qCWarning(lcScanning, "joystick %d could not be opened: %s", index, sdl::GetError());
            return;
        }
        const SDL_JoystickID id = sdl::JoystickInstanceID(joystick);
        if (m_joysticks.count(id) != 0) {
            sdl::JoystickClose(joystick);
            return;
        }
        m_joysticks[id] = joystick;
        added(id, sdlText(sdl::JoystickName(joystick)));
    }

    void added(SDL_JoystickID id, const QString &name)
    {
        m_names[id] = name;
        SdlControllers *source = &m_source;
        QMetaObject::invokeMethod(
            source,
            [source, name] {
                qCDebug(lcScanning, "controller added: %s", qPrintable(name));
                Q_EMIT source->controllerAdded(name);
            },
            Qt::QueuedConnection);
    }

    void removed(SDL_JoystickID id)
    {
        const QString name = m_names[id];
        m_names.erase(id);
        SdlControllers *source = &m_source;
        QMetaObject::invokeMethod(
            source,
            [source, name] {
                qCDebug(lcScanning, "controller removed: %s", qPrintable(name));
                Q_EMIT source->controllerRemoved(name);
            },
            Qt::QueuedConnection);
    }

    void button(int index, bool down)
    {
        SdlControllers *source = &m_source;
        QMetaObject::invokeMethod(
            source,
            [source, index, down] {
                qCDebug(lcScanning, "controller button %d %s", index, down ? "down" : "up");
                if (down)
                    Q_EMIT source->buttonPressed(index);
                else
                    Q_EMIT source->buttonReleased(index);
            },
            Qt::QueuedConnection);
    }

    SdlControllers &m_source;
    std::map<SDL_JoystickID, SDL_GameController *> m_controllers;
    std::map<SDL_JoystickID, SDL_Joystick *> m_joysticks;
    std::map<SDL_JoystickID, QString> m_names;
};

} // namespace

SdlControllers::SdlControllers(QObject *parent)
    : ControllerSource(parent)
{ }

SdlControllers::~SdlControllers()
{
    stop();
}

void SdlControllers::start()
{
    if (m_started)
        return;
    m_started = true;
    if (QCoreApplication::instance()) {
        static const bool registered = [] {
            qAddPostRoutine(stopAllReading);
            return true;
        }();
        Q_UNUSED(registered)
        reading().append(this);
    }
    m_thread = std::thread(&SdlControllers::read, this);
}

void SdlControllers::stop()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    reading().removeAll(this);
}

QString SdlControllers::problem() const
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_failure.isEmpty())
            return QStringLiteral("Velmora non riesce ad aprire i controller: ") + m_failure;
    }
    return ControllerAccess::permissionProblem();
}

void SdlControllers::opened(const QString &failure)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_failure = failure;
    }
    QMetaObject::invokeMethod(
        this,
        [this, failure] {
            if (failure.isEmpty())
                qCDebug(lcScanning, "controllers: reading");
            else
                qCWarning(lcScanning, "controllers: SDL could not be opened: %s", qPrintable(failure));
            Q_EMIT ready();
        },
        Qt::QueuedConnection);
}

void SdlControllers::read()
{
    if (const QString failure = sdl::load(); !failure.isEmpty()) {
        opened(failure);
        return;
    }
    // Signals are the program's own business: it ends on them by itself.
    sdl::SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Without an SDL window there is no focus to wait for.
    sdl::SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // Where no udev daemon runs (a container, a minimal system), udev would
    // announce no controller plugged in later: SDL watches /dev/input itself.
    // A user's SDL_JOYSTICK_DISABLE_UDEV still comes first.
    if (!QFileInfo::exists(QStringLiteral("/run/udev/control")))
        sdl::SetHint("SDL_JOYSTICK_DISABLE_UDEV", "1");

    if (sdl::Init(SDL_INIT_GAMECONTROLLER) != 0) {
        opened(sdlText(sdl::GetError()));
        return;
    }
    opened({});
    {
        OpenControllers controllers(*this);
        // Without SDL's video there is nothing to block on: SDL 2.26's own
        // SDL_WaitEventTimeout polls too, pumping then sleeping 1 ms. This
        // loop does the same, so a button waits about half a millisecond on
        // average, and it sees a request to stop within a millisecond.
        while (!m_stopping) {
            sdl::PumpEvents();
            SDL_Event event;
            while (sdl::PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
                controllers.handle(event);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    sdl::Quit();
}

#include "moc_sdlcontrollers.cpp"
