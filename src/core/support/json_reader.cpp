#include "core/support/json_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <limits>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace kovi::json {

namespace {

using ObjectMembers = std::vector<std::pair<std::string, Json>>;

// Builds the document from the parser's events. The parser itself keeps no recursion; this keeps
// none either, and it collects each object's members in a plain vector so that a key costs the
// same however many came before it (inserting into the ordered object one by one searches all
// earlier keys, which made large objects quadratic).
class DocumentBuilder {
public:
    explicit DocumentBuilder(std::size_t headLimit = std::numeric_limits<std::size_t>::max())
        : m_headLimit(headLimit)
    {
    }

    bool null() { return add(Json(nullptr)); }
    bool boolean(bool value) { return add(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return add(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return add(Json(value)); }
    bool number_float(Json::number_float_t value, const Json::string_t&) { return add(Json(value)); }
    bool string(Json::string_t& value) { return add(Json(std::move(value))); }
    bool binary(Json::binary_t& value) { return add(Json::binary(std::move(value))); }

    bool start_object(std::size_t) { return open(true); }
    bool key(Json::string_t& key)
    {
        m_frames[m_depth - 1].key = std::move(key);
        return true;
    }
    bool end_object() { return add(closeObject(m_frames[--m_depth])); }
    bool start_array(std::size_t) { return open(false); }
    bool end_array() { return add(closeArray(m_frames[--m_depth])); }

    bool parse_error(std::size_t, const std::string&, const Json::exception&) { return false; }

    bool tooDeep() const { return m_tooDeep; }
    bool stoppedAtHead() const { return m_stoppedAtHead; }

    Json takeRoot() { return std::move(m_root); }

    // After a stop at the head: the top array with the elements read so far.
    Json takeHead()
    {
        m_depth = 0;
        return closeArray(m_frames[0]);
    }

private:
    struct Frame {
        bool isObject = false;
        std::vector<Json> elements;
        ObjectMembers members;
        std::string key;
    };

    bool atHeadLimit() const
    {
        return m_depth == 1 && !m_frames[0].isObject && m_frames[0].elements.size() >= m_headLimit;
    }

    bool open(bool isObject)
    {
        if (atHeadLimit()) {
            m_stoppedAtHead = true;
            return false;
        }
        if (m_depth >= maxDepth) {
            m_tooDeep = true;
            return false;
        }
        // Frames are kept when closed so their buffers are reused by the next container.
        if (m_depth == m_frames.size())
            m_frames.emplace_back();
        Frame& frame = m_frames[m_depth++];
        frame.isObject = isObject;
        frame.elements.clear();
        frame.members.clear();
        return true;
    }

    bool add(Json&& value)
    {
        if (m_depth == 0) {
            m_root = std::move(value);
            return true;
        }
        if (atHeadLimit()) {
            m_stoppedAtHead = true;
            return false;
        }
        Frame& frame = m_frames[m_depth - 1];
        if (frame.isObject)
            frame.members.emplace_back(std::move(frame.key), std::move(value));
        else
            frame.elements.push_back(std::move(value));
        return true;
    }

    static Json closeArray(Frame& frame)
    {
        Json array(Json::value_t::array);
        array.get_ref<Json::array_t&>() = std::move(frame.elements);
        frame.elements = {};
        return array;
    }

    static Json closeObject(Frame& frame)
    {
        ObjectMembers& members = frame.members;
        std::vector<bool> dropped = repeatedKeys(members);
        Json object(Json::value_t::object);
        // The ordered object is a vector underneath: filled directly, with no search per key.
        auto& entries = static_cast<Json::object_t::Container&>(object.get_ref<Json::object_t&>());
        entries.reserve(members.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            if (dropped.empty() || !dropped[i])
                entries.emplace_back(std::move(members[i].first), std::move(members[i].second));
        }
        members.clear();
        return object;
    }

    // Whether two members might share a key. Large objects compare hashes, sorted: sorting the
    // keys themselves jumps all over memory and was most of the time spent on such an object.
    static bool mayRepeat(const ObjectMembers& members)
    {
        const std::size_t count = members.size();
        if (count <= 16) {
            for (std::size_t i = 1; i < count; ++i)
                for (std::size_t j = 0; j < i; ++j)
                    if (members[i].first == members[j].first)
                        return true;
            return false;
        }
        std::vector<std::size_t> hashes;
        hashes.reserve(count);
        for (const auto& member : members)
            hashes.push_back(std::hash<std::string>{}(member.first));
        std::sort(hashes.begin(), hashes.end());
        return std::adjacent_find(hashes.begin(), hashes.end()) != hashes.end();
    }

    // Marks the later members of each repeated key as dropped, after moving the last one's value
    // into the first: the key keeps its first place and its last value. Empty when no key repeats.
    static std::vector<bool> repeatedKeys(ObjectMembers& members)
    {
        const std::size_t count = members.size();
        if (!mayRepeat(members))
            return {};
        std::vector<std::uint32_t> order(count);
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return members[a].first < members[b].first;
        });
        std::vector<bool> dropped;
        for (std::size_t start = 0; start < count;) {
            std::size_t end = start + 1;
            while (end < count && members[order[end]].first == members[order[start]].first)
                ++end;
            if (end - start > 1) {
                if (dropped.empty())
                    dropped.assign(count, false);
                members[order[start]].second = std::move(members[order[end - 1]].second);
                for (std::size_t k = start + 1; k < end; ++k)
                    dropped[order[k]] = true;
            }
            start = end;
        }
        return dropped;
    }

    std::vector<Frame> m_frames;
    std::size_t m_depth = 0;
    std::size_t m_headLimit;
    Json m_root;
    bool m_tooDeep = false;
    bool m_stoppedAtHead = false;
};

[[noreturn]] void refuse(const DocumentBuilder& builder)
{
    if (builder.tooDeep())
        throw DecodeError("The data is nested more than " + std::to_string(maxDepth) + " levels deep.");
    throw DecodeError("The data is not valid JSON.");
}

// A stream over a ByteSource, for the parser's stream input.
class SourceBuffer : public std::streambuf {
public:
    explicit SourceBuffer(const ByteSource& source)
        : m_source(source)
    {
    }

protected:
    int_type underflow() override
    {
        const std::size_t count = m_source(m_buffer.data(), m_buffer.size());
        if (count == 0)
            return traits_type::eof();
        setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + count);
        return traits_type::to_int_type(m_buffer[0]);
    }

private:
    const ByteSource& m_source;
    std::array<char, 64 * 1024> m_buffer{};
};

} // namespace

Json parse(std::string_view text)
{
    // A raw NUL can't appear in valid JSON.
    if (text.find('\0') != std::string_view::npos)
        throw DecodeError("The data is not valid JSON: it contains a NUL byte.");
    DocumentBuilder builder;
    if (!Json::sax_parse(text.begin(), text.end(), &builder))
        refuse(builder);
    return builder.takeRoot();
}

Json parseArrayHead(const ByteSource& source, std::size_t maxElements)
{
    SourceBuffer buffer(source);
    std::istream stream(&buffer);
    DocumentBuilder builder(maxElements);
    if (Json::sax_parse(stream, &builder))
        return builder.takeRoot();
    if (builder.stoppedAtHead())
        return builder.takeHead();
    refuse(builder);
}

} // namespace kovi::json
