#include <algorithm>

#include "engine/ZorixImgEngineEvents.h"

namespace quenda {

void EngineEventHub::Subscribe(ZorixImgEngineEvents* subscriber) {
    if (subscriber != nullptr &&
        std::find(subscribers_.begin(), subscribers_.end(), subscriber) == subscribers_.end()) {
        subscribers_.push_back(subscriber);
    }
}

void EngineEventHub::Unsubscribe(ZorixImgEngineEvents* subscriber) {
    subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), subscriber),
                       subscribers_.end());
}

void EngineEventHub::RLEEncoding(const std::string& fileName, int16_t step,
                                 const std::string& action, const std::string& status,
                                 float progress, int32_t colorCount) {
    for (ZorixImgEngineEvents* s : subscribers_) {
        s->RLEEncoding(fileName, step, action, status, progress, colorCount);
    }
}

void EngineEventHub::RLEEncodingStarted(const std::string& fileName) {
    for (ZorixImgEngineEvents* s : subscribers_) {
        s->RLEEncodingStarted(fileName);
    }
}

void EngineEventHub::RLEEncodingComplete(const std::string& fileName, bool success,
                                         bool paletteOverflow) {
    for (ZorixImgEngineEvents* s : subscribers_) {
        s->RLEEncodingComplete(fileName, success, paletteOverflow);
    }
}

void EngineEventHub::RLEDecoding(const std::string& fileName, float progress) {
    for (ZorixImgEngineEvents* s : subscribers_) {
        s->RLEDecoding(fileName, progress);
    }
}

void EngineEventHub::RLEDecodingStarted(const std::string& fileName) {
    for (ZorixImgEngineEvents* s : subscribers_) {
        s->RLEDecodingStarted(fileName);
    }
}

void EngineEventHub::RLEDecodingComplete(const std::string& fileName, bool success) {
    for (ZorixImgEngineEvents* s : subscribers_) {
        s->RLEDecodingComplete(fileName, success);
    }
}

}  // namespace quenda
