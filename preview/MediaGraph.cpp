#include "preview/MediaGraph.h"

#include "preview/MpvGraph.h"

namespace {

GraphFactory& InstalledFactory() {
    static GraphFactory factory;
    return factory;
}

}  // namespace

std::shared_ptr<IGraphBuilder> CreateFilterGraph() {
    if (const GraphFactory& factory = InstalledFactory())
        return factory();
    return CreateMpvGraph();
}

void SetGraphFactory(GraphFactory factory) {
    InstalledFactory() = std::move(factory);
}
