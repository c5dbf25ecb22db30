#include "platform/AudioDefaultInput.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/rtclock.h>
#include <pulse/timeval.h>

#include <QMediaDevices>
#include <memory>

namespace tonarel {

namespace {

struct MainloopDeleter {
    void operator()(pa_mainloop* loop) const { pa_mainloop_free(loop); }
};
struct ContextDeleter {
    void operator()(pa_context* context) const
    {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
struct OperationDeleter {
    void operator()(pa_operation* operation) const { pa_operation_unref(operation); }
};

// Everything the callbacks report back to the waiting loop.
struct Query {
    bool timedOut = false;
    bool answered = false;
    std::optional<std::string> defaultSource;
};

void OnDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata)
{
    static_cast<Query*>(userdata)->timedOut = true;
}

void OnServerInfo(pa_context*, const pa_server_info* info, void* userdata)
{
    auto* query = static_cast<Query*>(userdata);
    query->answered = true;
    if (info != nullptr && info->default_source_name != nullptr && info->default_source_name[0] != '\0') {
        query->defaultSource = info->default_source_name;
    }
}

}  // namespace

std::optional<std::string> QuerySoundServerDefaultSource(std::chrono::milliseconds timeout)
{
    std::unique_ptr<pa_mainloop, MainloopDeleter> loop(pa_mainloop_new());
    if (!loop) {
        return std::nullopt;
    }
    std::unique_ptr<pa_context, ContextDeleter> context(pa_context_new(pa_mainloop_get_api(loop.get()), "Tonarel"));
    if (!context) {
        return std::nullopt;
    }
    Query query;
    const pa_usec_t deadline = pa_rtclock_now() + static_cast<pa_usec_t>(timeout.count()) * PA_USEC_PER_MSEC;
    pa_context_rttime_new(context.get(), deadline, OnDeadline, &query);

    // No autospawn: looking up a name must never start a sound server.
    if (pa_context_connect(context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return std::nullopt;
    }
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context.get());
        if (state == PA_CONTEXT_READY) {
            break;
        }
        if (!PA_CONTEXT_IS_GOOD(state) || query.timedOut || pa_mainloop_iterate(loop.get(), 1, nullptr) < 0) {
            return std::nullopt;
        }
    }

    std::unique_ptr<pa_operation, OperationDeleter> operation(
        pa_context_get_server_info(context.get(), OnServerInfo, &query));
    if (!operation) {
        return std::nullopt;
    }
    while (!query.answered) {
        if (query.timedOut || !PA_CONTEXT_IS_GOOD(pa_context_get_state(context.get())) ||
            pa_mainloop_iterate(loop.get(), 1, nullptr) < 0) {
            pa_operation_cancel(operation.get());
            return std::nullopt;
        }
    }
    return query.defaultSource;
}

QAudioDevice ChooseCaptureInput()
{
    // Short: the server is local and answers at once, or is not there at all.
    if (const auto name = QuerySoundServerDefaultSource(std::chrono::seconds(2))) {
        const QByteArray id = QByteArray::fromStdString(*name);
        for (const QAudioDevice& input : QMediaDevices::audioInputs()) {
            if (input.id() == id) {
                return input;
            }
        }
    }
    return QMediaDevices::defaultAudioInput();
}

}  // namespace tonarel
