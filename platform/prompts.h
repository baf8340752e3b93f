// Messages the user must see. The core asks through this interface and never shows anything
// itself: the GUI shows a modal box (blocking the asking thread until it is answered), the
// command line prints the text and answers from its flags, tests script the answers.
#pragma once

#include <string>

namespace lumbra {

inline constexpr const char* kCaption = "Lumbra CD Ripper";
inline constexpr const char* kErrorCaption = "Lumbra CD Ripper 错误";

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

}  // namespace lumbra
