// Messages of the command line go to stderr. The overwrite question is answered by --yes or
// --no, else asked on the terminal, else answered No.
#pragma once

#include "cli/options.h"
#include "platform/prompts.h"

namespace lumbra::cli {

class TerminalPrompts : public Prompts {
public:
    explicit TerminalPrompts(OverwriteAnswer overwrite) : overwrite_(overwrite) {}
    MessageAnswer show(const Message& message) override;

private:
    OverwriteAnswer overwrite_;
};

}  // namespace lumbra::cli
