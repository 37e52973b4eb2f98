#include "DrawingFactoryUsers.h"

#include <algorithm>

void DrawingFactoryUsers::addFirstUse(Drawn& client, const IDrawingFactory* factory) {
    client.push_back(factory);
    for (auto& [used, clients] : counts) {
        if (used == factory) {
            ++clients;
            return;
        }
    }
    counts.emplace_back(factory, 1);
}

DrawingFactoryUsers::Drawn DrawingFactoryUsers::endUses(Drawn& client) {
    Drawn unused;
    for (const IDrawingFactory* factory : client) {
        // A factory not counted belongs to a cache that went at the
        // library's exit list; this one never held its objects.
        const auto count = std::find_if(counts.begin(), counts.end(),
                                        [factory](const auto& c) { return c.first == factory; });
        if (count == counts.end() || --count->second > 0)
            continue;
        counts.erase(count);
        unused.push_back(factory);
    }
    client.clear();
    return unused;
}

int32_t DrawingFactoryUsers::users(const IDrawingFactory* factory) const {
    for (const auto& [used, clients] : counts)
        if (used == factory)
            return clients;
    return 0;
}
