#include "core/model/download_item.h"
#include "core/model/history_item.h"
#include "core/model/split_view_config.h"

#include <gtest/gtest.h>

namespace kovi {
namespace {

const Uuid itemId = *Uuid::parse("1B4E28BA-2FA1-11D2-883F-0016D3CCA427");
const Uuid spaceId = *Uuid::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");

HistoryItem sampleVisit()
{
    return HistoryItem{itemId, *Url::parse("https://example.com/"), "Example", Date(725760000), std::nullopt, std::nullopt};
}

DownloadItem sampleDownload()
{
    return DownloadItem{itemId,         *Url::parse("https://example.com/f.zip"), "f.zip", std::nullopt, 10, 4,
                        DownloadStatus::downloading, Date(725760000), std::nullopt};
}

TEST(HistoryItemJson, MinimalEntryHasFourKeys)
{
    EXPECT_EQ(json::dump(toJson(sampleVisit())),
              R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","url":"https://example.com/","title":"Example","visitedAt":725760000})");
    EXPECT_EQ(HistoryItem::fromJson(toJson(sampleVisit())), sampleVisit());
}

TEST(HistoryItemJson, OptionalsNullsAndEmptyFavicon)
{
    HistoryItem visit = sampleVisit();
    visit.favicon = Bytes{};
    visit.spaceId = spaceId;
    visit.visitedAt = Date(725760000.123456);
    Json written = toJson(visit);
    EXPECT_EQ(written["favicon"], "");
    HistoryItem read = HistoryItem::fromJson(json::parse(json::dump(written)));
    EXPECT_EQ(read, visit);
    ASSERT_TRUE(read.favicon);
    EXPECT_TRUE(read.favicon->empty());
    EXPECT_NE(read, sampleVisit());

    Json object = toJson(sampleVisit());
    object["spaceId"] = nullptr;
    object["extra"] = true;
    HistoryItem nulled = HistoryItem::fromJson(object);
    EXPECT_FALSE(nulled.spaceId);
    EXPECT_EQ(json::dump(toJson(nulled)), json::dump(toJson(sampleVisit())));

    HistoryItem other = sampleVisit();
    other.id = spaceId;
    EXPECT_NE(other, sampleVisit());
    EXPECT_EQ(hashValue(sampleVisit()), hashValue(HistoryItem::fromJson(toJson(sampleVisit()))));
    object.erase("title");
    EXPECT_THROW(HistoryItem::fromJson(object), DecodeError);
}

TEST(DownloadItemJson, FormsAndStatuses)
{
    EXPECT_EQ(json::dump(toJson(sampleDownload())),
              R"({"id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427","url":"https://example.com/f.zip","filename":"f.zip",)"
              R"("totalBytes":10,"downloadedBytes":4,"status":"downloading","startedAt":725760000})");
    DownloadItem done = sampleDownload();
    done.status = DownloadStatus::completed;
    done.localPath = *Url::parse("file:///home/u/Downloads/f.zip");
    done.completedAt = Date(725760100.5);
    done.totalBytes = -1; // any value is accepted
    EXPECT_EQ(DownloadItem::fromJson(json::parse(json::dump(toJson(done)))), done);

    for (const char* status : {"pending", "downloading", "paused", "completed", "failed", "cancelled"}) {
        Json object = toJson(sampleDownload());
        object["status"] = status;
        EXPECT_EQ(rawValue(DownloadItem::fromJson(object).status), status);
    }
    for (const char* status : {"Completed", "canceled", "", "done"}) {
        Json object = toJson(sampleDownload());
        object["status"] = status;
        EXPECT_THROW(DownloadItem::fromJson(object), DecodeError) << status;
    }
    Json fractional = toJson(sampleDownload());
    fractional["totalBytes"] = 1.5;
    EXPECT_THROW(DownloadItem::fromJson(fractional), DecodeError);
}

TEST(SplitViewConfigRecord, DefaultsJsonAndEquality)
{
    SplitViewConfig config;
    EXPECT_FALSE(config.isEnabled);
    EXPECT_FALSE(config.leftTabId);
    EXPECT_FALSE(config.rightTabId);
    EXPECT_EQ(config.splitRatio, 0.5);
    EXPECT_EQ(json::dump(toJson(config)), R"({"isEnabled":false,"splitRatio":0.5})");
    EXPECT_EQ(SplitViewConfig::fromJson(json::parse(R"({"isEnabled":true,"splitRatio":0.7,"leftTabId":null})")),
              (SplitViewConfig{true, std::nullopt, std::nullopt, 0.7}));
    EXPECT_THROW(SplitViewConfig::fromJson(json::parse(R"({"isEnabled":true})")), DecodeError);

    SplitViewConfig other = config;
    other.splitRatio = 0.6;
    EXPECT_NE(other, config);
    other = config;
    other.leftTabId = itemId;
    EXPECT_EQ(SplitViewConfig::fromJson(toJson(other)), other);
    EXPECT_EQ(fromRawValue<SplitViewSide>("right"), SplitViewSide::right);
    EXPECT_FALSE(fromRawValue<SplitViewSide>("Right"));
}

} // namespace
} // namespace kovi
