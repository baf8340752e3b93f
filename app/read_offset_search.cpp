#include "app/read_offset_search.h"

#include <utility>

#include "platform/cautious_answer.h"

namespace lumbra {

namespace {

// Keeps the worker's messages for its end, answering each as a closing window would.
class HeldPrompts : public Prompts {
public:
    explicit HeldPrompts(std::vector<Message>& held) : held_(held) {}
    MessageAnswer show(const Message& message) override {
        held_.push_back(message);
        return cautiousAnswer(message);
    }

private:
    std::vector<Message>& held_;
};

}  // namespace

struct ReadOffsetSearch::Job {
    OffsetSearchInput input;
    uintptr_t number = 0;
    DiscRecord disc;  // the reads tag nothing
    OffsetSearchEnd end;
    HeldPrompts prompts{end.messages};
    bool stopped = false;
};

ReadOffsetSearch::ReadOffsetSearch(EventSink& events) : events_(events) {}

ReadOffsetSearch::~ReadOffsetSearch() {
    stop();
}

bool ReadOffsetSearch::start(OffsetSearchInput input) {
    if (running()) return false;
    // A stopped search's end may still be on its way; its number is no longer the last.
    job_ = std::make_unique<Job>();
    job_->input = std::move(input);
    job_->input.verification.config.stop = &stop_;
    job_->number = ++lastNumber_;
    stop_.reset();
    flags_.ripRunning = 1;
    thread_ = std::thread([this, &job = *job_] {
        const RipSession session{
            job.prompts, events_,          flags_,          job.input.settings,
            job.disc,    job.input.drive,  outputFormats(), &job.input.verification,
            0,           job.input.extents};
        job.end.detection = detectReadOffset(session, job.input.tracks, job.input.verification);
        job.end.lookup = job.input.verification.lookup;
        events_.post(WM_OFFSET_DONE, job.number, nullptr);
    });
    return true;
}

void ReadOffsetSearch::stop() {
    if (!running()) return;
    flags_.ripRunning = 0;
    stop_.set();
    thread_.join();
    // Whatever it found was for a drive or disc that is no longer the window's.
    job_->stopped = true;
}

std::optional<OffsetSearchEnd> ReadOffsetSearch::finish(uintptr_t search) {
    if (!job_ || job_->number != search) return std::nullopt;
    if (thread_.joinable()) thread_.join();
    flags_.ripRunning = 0;
    const std::unique_ptr<Job> job = std::move(job_);
    // An exchange cut short says nothing of the database.
    if (job->stopped) return OffsetSearchEnd{{OffsetSearch::Stopped, {}}, std::nullopt, {}};
    return std::move(job->end);
}

}  // namespace lumbra
