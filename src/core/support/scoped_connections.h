#pragma once

#include <sigc++/connection.h>

#include <utility>
#include <vector>

namespace kovi {

// Signal connections an object holds for as long as it lives: all are dropped by clear() and
// when the holder dies. Declare the holder after every member its slots use, so it dies first;
// where a destructor tears down more before its members go, call clear() at its top.
class ScopedConnections {
public:
    ScopedConnections() = default;
    ~ScopedConnections() { clear(); }

    ScopedConnections(const ScopedConnections&) = delete;
    ScopedConnections& operator=(const ScopedConnections&) = delete;

    void add(sigc::connection connection) { m_connections.push_back(std::move(connection)); }
    ScopedConnections& operator+=(sigc::connection connection)
    {
        add(std::move(connection));
        return *this;
    }

    void clear()
    {
        // Taken out first: a slot that dies with its connection may reach back into this holder.
        for (auto& connection : std::exchange(m_connections, {}))
            connection.disconnect();
    }

private:
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
