#include "plot/tapped_source.h"

#include <string>
#include <utility>

StarSourceOpener TappedSource::opener(StarSourceOpener open, Tap tap) {
    return [open = std::move(open), tap = std::move(tap)](
               const std::string& path,
               const SourceContext& context) -> Result<std::unique_ptr<StarSource>> {
        Result<std::unique_ptr<StarSource>> inner = open(path, context);
        if (!inner.done()) return inner;
        return std::make_unique<TappedSource>(inner.take(), tap);
    };
}

StarSource::Status TappedSource::next(StarRecord& record) {
    const Status status = inner_->next(record);
    if (status == Status::Record) tap_(record);
    return status;
}
