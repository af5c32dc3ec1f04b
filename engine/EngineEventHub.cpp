#include <algorithm>

#include "engine/ZorixImgEngineEvents.h"

namespace quenda {

void EngineEventHub::Subscribe(ZorixImgEngineEvents* subscriber) {
    if (subscriber != nullptr && !IsSubscribed(subscriber)) {
        subscribers_.push_back(subscriber);
    }
}

void EngineEventHub::Unsubscribe(ZorixImgEngineEvents* subscriber) {
    subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), subscriber),
                       subscribers_.end());
}

bool EngineEventHub::IsSubscribed(const ZorixImgEngineEvents* subscriber) const {
    return std::find(subscribers_.begin(), subscribers_.end(), subscriber) != subscribers_.end();
}

// A handler may subscribe or unsubscribe while an event is raised. The event goes
// to those subscribed when it was raised, each once, in order; one that has left
// meanwhile is not called (it may be gone), one that joined gets the next event.
template <typename Call>
void EngineEventHub::Raise(const Call& call) {
    const std::vector<ZorixImgEngineEvents*> receivers = subscribers_;
    for (ZorixImgEngineEvents* s : receivers) {
        if (IsSubscribed(s)) {
            call(*s);
        }
    }
}

void EngineEventHub::RLEEncoding(const std::string& fileName, int16_t step,
                                 const std::string& action, const std::string& status,
                                 float progress, int32_t colorCount) {
    Raise([&](ZorixImgEngineEvents& s) {
        s.RLEEncoding(fileName, step, action, status, progress, colorCount);
    });
}

void EngineEventHub::RLEEncodingStarted(const std::string& fileName) {
    Raise([&](ZorixImgEngineEvents& s) { s.RLEEncodingStarted(fileName); });
}

void EngineEventHub::RLEEncodingComplete(const std::string& fileName, bool success,
                                         bool paletteOverflow) {
    Raise([&](ZorixImgEngineEvents& s) {
        s.RLEEncodingComplete(fileName, success, paletteOverflow);
    });
}

void EngineEventHub::RLEDecoding(const std::string& fileName, float progress) {
    Raise([&](ZorixImgEngineEvents& s) { s.RLEDecoding(fileName, progress); });
}

void EngineEventHub::RLEDecodingStarted(const std::string& fileName) {
    Raise([&](ZorixImgEngineEvents& s) { s.RLEDecodingStarted(fileName); });
}

void EngineEventHub::RLEDecodingComplete(const std::string& fileName, bool success) {
    Raise([&](ZorixImgEngineEvents& s) { s.RLEDecodingComplete(fileName, success); });
}

}  // namespace quenda
