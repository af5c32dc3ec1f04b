#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quenda {

// Subscriber interface of the engine's events. They are raised synchronously, from
// inside LoadImage and SaveImageAs, to every subscriber in the order subscribed.
class ZorixImgEngineEvents {
  public:
    virtual ~ZorixImgEngineEvents() = default;

    // Default handlers ignore the event; parameter names are as in the overrides.
    virtual void RLEEncoding(const std::string& /*fileName*/, int16_t /*step*/,
                             const std::string& /*action*/, const std::string& /*status*/,
                             float /*progress*/, int32_t /*colorCount*/) {}
    virtual void RLEEncodingStarted(const std::string& /*fileName*/) {}
    virtual void RLEEncodingComplete(const std::string& /*fileName*/, bool /*success*/,
                                     bool /*paletteOverflow*/) {}
    virtual void RLEDecoding(const std::string& /*fileName*/, float /*progress*/) {}
    virtual void RLEDecodingStarted(const std::string& /*fileName*/) {}
    virtual void RLEDecodingComplete(const std::string& /*fileName*/, bool /*success*/) {}
};

// Forwards every event to the subscribers, in the order they subscribed. Handlers
// may subscribe and unsubscribe from inside an event.
class EngineEventHub final : public ZorixImgEngineEvents {
  public:
    void Subscribe(ZorixImgEngineEvents* subscriber);
    void Unsubscribe(ZorixImgEngineEvents* subscriber);

    void RLEEncoding(const std::string& fileName, int16_t step, const std::string& action,
                     const std::string& status, float progress, int32_t colorCount) override;
    void RLEEncodingStarted(const std::string& fileName) override;
    void RLEEncodingComplete(const std::string& fileName, bool success,
                             bool paletteOverflow) override;
    void RLEDecoding(const std::string& fileName, float progress) override;
    void RLEDecodingStarted(const std::string& fileName) override;
    void RLEDecodingComplete(const std::string& fileName, bool success) override;

  private:
    bool IsSubscribed(const ZorixImgEngineEvents* subscriber) const;
    template <typename Call>
    void Raise(const Call& call);

    std::vector<ZorixImgEngineEvents*> subscribers_;
};

}  // namespace quenda
