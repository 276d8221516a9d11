#include "core/state/desktop_files.h"

#include <giomm/appinfo.h>
#include <giomm/dbusconnection.h>
#include <giomm/file.h>
#include <glibmm/variant.h>

#include <iostream>

namespace kovi::desktop {

namespace {

void launch(const std::string& uri)
{
    try {
        Gio::AppInfo::launch_default_for_uri(uri);
    } catch (const Glib::Error& error) {
        std::cout << "Could not open " << uri << ": " << error.what() << std::endl;
    }
}

std::string folderUri(const std::string& fileUri)
{
    auto parent = Gio::File::create_for_uri(fileUri)->get_parent();
    return parent ? parent->get_uri() : fileUri;
}

} // namespace

void openFile(const Url& file)
{
    launch(file.string());
}

void showInFolder(const Url& file)
{
    // The callbacks own copies of what they need; nothing refers back to the caller.
    const std::string uri = file.string();
    const std::string folder = folderUri(uri);
    Gio::DBus::Connection::get(Gio::DBus::BusType::SESSION, [uri, folder](Glib::RefPtr<Gio::AsyncResult>& result) {
        Glib::RefPtr<Gio::DBus::Connection> connection;
        try {
            connection = Gio::DBus::Connection::get_finish(result);
        } catch (const Glib::Error&) {
            launch(folder);
            return;
        }
        if (!connection) {
            launch(folder);
            return;
        }
        std::vector<Glib::ustring> items{uri};
        auto parameters = Glib::VariantContainerBase::create_tuple(
            {Glib::Variant<std::vector<Glib::ustring>>::create(items), Glib::Variant<Glib::ustring>::create("")});
        connection->call(
            "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1", "ShowItems", parameters,
            [connection, folder](Glib::RefPtr<Gio::AsyncResult>& reply) {
                try {
                    connection->call_finish(reply);
                } catch (const Glib::Error&) {
                    launch(folder);
                }
            },
            "org.freedesktop.FileManager1", 5000);
    });
}

} // namespace kovi::desktop
