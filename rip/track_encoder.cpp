#include "rip/track_encoder.h"

namespace lumbra {

EncodeStep encoderFailed(const std::string& errorText) {
    EncodeStep step{EncodeResult::Failed, {}};
    if (!errorText.empty()) step.messages.push_back(ripErrorMessage(errorText));
    return step;
}

EncodeStep written(bool allWritten) {
    return {allWritten ? EncodeResult::Ok : EncodeResult::WriteFailed, {}};
}

Message ripErrorMessage(const std::string& text) {
    return {kErrorCaption, text, MessageIcon::Information, MessageButtons::Ok};
}

}  // namespace lumbra
