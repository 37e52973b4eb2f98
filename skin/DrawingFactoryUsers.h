// Which of a cache's clients draw through which drawing factory. A host's
// drawing factory may go, and another be made at its address, once the
// widgets that drew through it are gone (a window that closes takes its
// factory with it, whatever its reference count says), so a cache keeps the
// objects a factory made only while a client that drew through it lives.
#pragma once

#include "../framework/HostApi.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

class DrawingFactoryUsers {
public:
    // The factories one client has drawn through, kept by the client.
    using Drawn = std::vector<const IDrawingFactory*>;

    // Counts the client as a user of the factory, once however often it asks.
    // A client draws through one factory or a few, and asks at every paint:
    // its own list, searched here, nearly always holds the factory already.
    void add(Drawn& client, const IDrawingFactory* factory) {
        if (std::find(client.begin(), client.end(), factory) == client.end())
            addFirstUse(client, factory);
    }
    // Ends the client's uses and empties its list, then calls drop with each
    // factory that no client uses any more, whose objects the cache drops.
    template <class Drop> void remove(Drawn& client, Drop drop) {
        for (const IDrawingFactory* unused : endUses(client))
            drop(unused);
    }
    void clear() { counts.clear(); }

    // The number of clients that draw through the factory.
    int32_t users(const IDrawingFactory* factory) const;

private:
    void addFirstUse(Drawn& client, const IDrawingFactory* factory);
    // Empties the client's list; the factories it held that no client uses now.
    Drawn endUses(Drawn& client);

    std::vector<std::pair<const IDrawingFactory*, int32_t>> counts;
};
