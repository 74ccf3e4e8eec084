#include "overlay_service.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <jansson.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "camlet_root.h"
#include "palette_png.h"
#include "picture_writer.h"

namespace overlaysim {
namespace {

constexpr const char* kIntrospection =
    "<node>"
    "<interface name='com.zelk.Graphics1.Overlay'>"
    " <method name='OpenCameraDevice'><arg type='h' direction='out'/></method>"
    " <method name='GetCommandChannel'><arg type='h' direction='out'/></method></interface>"
    "<interface name='org.freedesktop.DBus.ObjectManager'>"
    " <method name='GetManagedObjects'><arg type='a{oa{sa{sv}}}' direction='out'/></method>"
    " <signal name='InterfacesAdded'><arg type='o'/><arg type='a{sa{sv}}'/></signal>"
    " <signal name='InterfacesRemoved'><arg type='o'/><arg type='as'/></signal></interface>"
    "<interface name='com.zelk.Overlay2.Factory'>"
    " <method name='CreateOverlay'><arg type='a{ss}' direction='in'/>"
    "  <arg type='o' direction='out'/></method>"
    " <method name='RemoveOverlay'><arg type='o' direction='in'/></method></interface>"
    "<interface name='com.zelk.Overlay2.Overlay'>"
    " <method name='SetProperties'><arg type='a{ss}' direction='in'/></method>"
    " <property name='OverlayId' type='i' access='read'/></interface>"
    "<interface name='com.zelk.Overlay2.PaletteColor'>"
    " <method name='SetColor'><arg type='y'/><arg type='y'/><arg type='y'/><arg type='y'/>"
    "  <arg type='b'/></method></interface>"
    "</node>";

constexpr const char* kStreamManager = "/com/zelk/Graphics1/Stream";
constexpr const char* kOverlayManager = "/com/zelk/Overlay2/Overlay";
constexpr const char* kStreamInterface = "com.zelk.Graphics1.Stream";
constexpr const char* kOverlayInterface = "com.zelk.Overlay2.Overlay";
constexpr int kSlotSize = 2 * 1024 * 1024;  // room for a 4096 × 1024 palette buffer
constexpr int kSlots = 64;
constexpr int kHeaderSize = 64;
constexpr int kBufferExtra = 96;
constexpr int kFirstCreatedId = 1000;
constexpr unsigned char kUnwritten = 0xA5;
constexpr auto kPictureInterval = std::chrono::milliseconds(500);

struct JsonDecref {
    void operator()(json_t* json) const { json_decref(json); }
};
using JsonPtr = std::unique_ptr<json_t, JsonDecref>;

std::string dump(const json_t* json) {
    char* text = json_dumps(json, JSON_COMPACT | JSON_SORT_KEYS);
    std::string result(text);
    free(text);
    return result;
}

void makeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
    }
}

bool parseSize(const std::string& text, int& width, int& height) {
    char extra = 0;
    return std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &extra) == 2 && width > 0 &&
           height > 0 && width % 2 == 0;
}

bool parsePosition(const std::string& text, double& x, double& y) {
    char extra = 0;
    return std::sscanf(text.c_str(), "%lf,%lf%c", &x, &y, &extra) == 2 && x >= -1.0 && x <= 1.0 &&
           y >= -1.0 && y <= 1.0;
}

GVariant* streamProperties(const StreamInfo& stream) {
    const std::string resolution =
        std::to_string(stream.width) + "x" + std::to_string(stream.height);
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&properties, "{sv}", "Stream", g_variant_new_int32(stream.id));
    g_variant_builder_add(&properties, "{sv}", "Camera", g_variant_new_int32(stream.camera));
    g_variant_builder_add(&properties, "{sv}", "Type", g_variant_new_string(stream.type.c_str()));
    g_variant_builder_add(&properties, "{sv}", "Resolution",
                          g_variant_new_string(resolution.c_str()));
    g_variant_builder_add(&properties, "{sv}", "Rotation", g_variant_new_int32(stream.rotation));
    g_variant_builder_add(&properties, "{sv}", "MirrorEnabled",
                          g_variant_new_boolean(stream.mirror));
    GVariantBuilder interfaces;
    g_variant_builder_init(&interfaces, G_VARIANT_TYPE("a{sa{sv}}"));
    g_variant_builder_add(&interfaces, "{sa{sv}}", kStreamInterface, &properties);
    return g_variant_builder_end(&interfaces);
}

GVariant* overlayProperties(const OverlayInfo& overlay) {
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&properties, "{sv}", "Camera", g_variant_new_int32(overlay.camera));
    g_variant_builder_add(&properties, "{sv}", "OverlayType",
                          g_variant_new_string(overlay.type.c_str()));
    g_variant_builder_add(&properties, "{sv}", "OverlayId", g_variant_new_int32(overlay.id));
    g_variant_builder_add(&properties, "{sv}", "Position",
                          g_variant_new_string(overlay.position.c_str()));
    g_variant_builder_add(&properties, "{sv}", "Size", g_variant_new_string(overlay.size.c_str()));
    g_variant_builder_add(&properties, "{sv}", "Scalable", g_variant_new_boolean(overlay.scalable));
    GVariantBuilder interfaces;
    g_variant_builder_init(&interfaces, G_VARIANT_TYPE("a{sa{sv}}"));
    g_variant_builder_add(&interfaces, "{sa{sv}}", kOverlayInterface, &properties);
    return g_variant_builder_end(&interfaces);
}

std::string streamPath(int id) {
    return std::string(kStreamManager) + "/" + std::to_string(id);
}
std::string overlayPath(int id) {
    return std::string(kOverlayManager) + "/" + std::to_string(id);
}

}  // namespace

class OverlayService::Impl {
  public:
    explicit Impl(std::string address) : m_address(std::move(address)) {
        m_devicePath = camlet::rootedPath("/dev/cam0");
        makeDirectories(m_devicePath);
        makeDirectories(logPath());
        makeDirectories(picturePath(0));
        m_device = open(m_devicePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_device < 0 || ftruncate(m_device, off_t(kSlotSize) * kSlots) != 0) {
            throw std::runtime_error("overlaysim: cannot make the camera device " + m_devicePath);
        }
        m_node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        start();
    }

    ~Impl() {
        stop();
        g_dbus_node_info_unref(m_node);
        close(m_device);
    }

    void start() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_startError.clear();
        m_ready = false;
        m_thread = std::thread([this] { serve(); });
        m_readyCondition.wait(lock, [this] { return m_ready; });
        if (!m_startError.empty()) {
            lock.unlock();
            m_thread.join();
            throw std::runtime_error(m_startError);
        }
    }

    void stop() {
        closeCommandChannels();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_loop != nullptr) {
                g_main_loop_quit(m_loop);
            }
        }
        if (m_thread.joinable()) {
            m_thread.join();
        }
        for (std::thread& channel : m_channelThreads) {
            channel.join();
        }
        m_channelThreads.clear();
    }

    void restart() {
        log("restart", json_object());
        stop();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_created.clear();
            m_palette = Palette();
        }
        start();
    }

    // --- the owner's changes ---

    void addStream(const StreamInfo& stream) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_streams[stream.id] = stream;
        emit(kStreamManager, "InterfacesAdded",
             g_variant_new("(o@a{sa{sv}})", streamPath(stream.id).c_str(),
                           streamProperties(stream)));
    }

    void removeStream(int id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_streams.erase(id) != 0) {
            emitRemoved(kStreamManager, streamPath(id), kStreamInterface);
        }
    }

    void addOverlay(const OverlayInfo& overlay) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_external[overlay.id] = overlay;
        emit(kOverlayManager, "InterfacesAdded",
             g_variant_new("(o@a{sa{sv}})", overlayPath(overlay.id).c_str(),
                           overlayProperties(overlay)));
    }

    void changeOverlay(int id, const std::string& position, const std::string& size) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_external.find(id);
        if (it == m_external.end()) {
            return;
        }
        GVariantBuilder changed;
        g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
        if (!position.empty()) {
            it->second.position = position;
            g_variant_builder_add(&changed, "{sv}", "Position",
                                  g_variant_new_string(position.c_str()));
        }
        if (!size.empty()) {
            it->second.size = size;
            g_variant_builder_add(&changed, "{sv}", "Size", g_variant_new_string(size.c_str()));
        }
        emit(overlayPath(id).c_str(), "PropertiesChanged",
             g_variant_new("(sa{sv}as)", kOverlayInterface, &changed, nullptr),
             "org.freedesktop.DBus.Properties");
    }

    void removeOverlay(int id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_external.erase(id) != 0) {
            emitRemoved(kOverlayManager, overlayPath(id), kOverlayInterface);
        }
    }

    void answerNextSubmitWithError() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failNextSubmit = true;
    }
    void answerNextGetBufferWithoutBuffer() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failNextGetBuffer = true;
    }

    void refuseCommandChannels(bool refuse) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_refuseChannels = refuse;
    }

    void failNextCreateOverlay() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failNextCreate = true;
    }

    void dropCreatedOverlay(int id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_created.find(id);
        if (it != m_created.end()) {
            dropCreated(it);
        }
    }

    void closeCommandChannels() {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const int channel : m_channels) {
            shutdown(channel, SHUT_RDWR);
        }
    }

    std::vector<std::string> calls() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    std::vector<CreatedOverlay> createdOverlays() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<CreatedOverlay> result;
        for (const auto& entry : m_created) {
            result.push_back(entry.second.overlay);
        }
        return result;
    }
    std::vector<std::string> paletteCalls() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_paletteCalls;
    }
    int submitCount() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_submits;
    }

  private:
    struct Created {
        CreatedOverlay overlay;
        int width;
        int height;
        int top;  // first row on the stream
        int firstSlot;
        int nextSlot = 0;  // 0 or 1
        int handle = -1;
        std::chrono::steady_clock::time_point lastPicture;
    };

    void serve() {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        GError* error = nullptr;
        GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
            m_address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (connection == nullptr) {
                m_startError = std::string("overlaysim: no bus: ") + error->message;
                g_error_free(error);
            } else {
                g_dbus_connection_set_exit_on_close(connection, FALSE);
                m_connection = connection;
                registerFixedObjects();
                if (!ownName("com.zelk.Graphics1") || !ownName("com.zelk.Overlay2")) {
                    m_startError = "overlaysim: cannot own the service names";
                }
                m_loop = g_main_loop_new(context, FALSE);
            }
            m_ready = true;
        }
        m_readyCondition.notify_all();
        if (m_startError.empty()) {
            g_main_loop_run(m_loop);
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (const guint id : m_registrations) {
                g_dbus_connection_unregister_object(m_connection, id);
            }
            m_registrations.clear();
            m_overlayRegistrations.clear();
            if (m_connection != nullptr) {
                g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
                g_object_unref(m_connection);
                m_connection = nullptr;
            }
            if (m_loop != nullptr) {
                g_main_loop_unref(m_loop);
                m_loop = nullptr;
            }
        }
        while (g_main_context_iteration(context, FALSE)) {
        }
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    bool ownName(const char* name) {
        GVariant* answer = g_dbus_connection_call_sync(
            m_connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", name, 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (answer == nullptr) {
            return false;
        }
        guint32 result = 0;
        g_variant_get(answer, "(u)", &result);
        g_variant_unref(answer);
        return result == 1;
    }

    guint registerObject(const std::string& path, const char* interface) {
        static const GDBusInterfaceVTable vtable = {onMethod, onGetProperty, nullptr, {}};
        return g_dbus_connection_register_object(
            m_connection, path.c_str(), g_dbus_node_info_lookup_interface(m_node, interface),
            &vtable, this, nullptr, nullptr);
    }

    void registerFixedObjects() {
        m_registrations.push_back(
            registerObject("/com/zelk/Graphics1", "com.zelk.Graphics1.Overlay"));
        m_registrations.push_back(
            registerObject(kStreamManager, "org.freedesktop.DBus.ObjectManager"));
        m_registrations.push_back(
            registerObject(kOverlayManager, "org.freedesktop.DBus.ObjectManager"));
        m_registrations.push_back(
            registerObject("/com/zelk/Overlay2", "com.zelk.Overlay2.Factory"));
        for (int index = 0; index < 16; ++index) {
            m_registrations.push_back(
                registerObject("/com/zelk/Overlay2/PaletteColor/" + std::to_string(index),
                               "com.zelk.Overlay2.PaletteColor"));
        }
    }

    void emit(const char* path, const char* signal, GVariant* parameters,
              const char* interface = "org.freedesktop.DBus.ObjectManager") {
        g_variant_ref_sink(parameters);
        if (m_connection != nullptr) {
            g_dbus_connection_emit_signal(m_connection, nullptr, path, interface, signal,
                                          parameters, nullptr);
        }
        g_variant_unref(parameters);
    }

    void emitRemoved(const char* manager, const std::string& path, const char* interface) {
        const gchar* interfaces[] = {interface, nullptr};
        emit(manager, "InterfacesRemoved", g_variant_new("(o^as)", path.c_str(), interfaces));
    }

    void log(const char* call, json_t* arguments) {
        const JsonPtr entry(json_pack("{s:s, s:o}", "call", call, "args", arguments));
        const std::string line = dump(entry.get());
        m_calls.push_back(line);
        std::ofstream(logPath(), std::ios::app) << line << '\n';
    }

    static void onMethod(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                         const gchar* method, GVariant* parameters,
                         GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<Impl*>(data);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->handleMethod(path, method, parameters, invocation);
    }

    static GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                                   const gchar*, GError**, gpointer data) {
        auto* self = static_cast<Impl*>(data);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        for (const auto& entry : self->m_created) {
            if (entry.second.overlay.path == path) {
                self->log("Get", json_pack("{s:s, s:s}", "path", path, "property", "OverlayId"));
                return g_variant_new_int32(entry.first);
            }
        }
        return nullptr;
    }

    void handleMethod(const std::string& path, const std::string& method, GVariant* parameters,
                      GDBusMethodInvocation* invocation) {
        if (method == "GetCommandChannel" && m_refuseChannels) {
            log(method.c_str(), json_object());
            fail(invocation, "no channel for you");
        } else if (method == "OpenCameraDevice" || method == "GetCommandChannel") {
            log(method.c_str(), json_object());
            returnDescriptor(invocation,
                             method == "OpenCameraDevice" ? dup(m_device) : newChannel());
        } else if (method == "GetManagedObjects") {
            log(method.c_str(), json_pack("{s:s}", "path", path.c_str()));
            g_dbus_method_invocation_return_value(invocation, managedObjects(path));
        } else if (method == "CreateOverlay") {
            createOverlay(parameters, invocation);
        } else if (method == "RemoveOverlay") {
            const gchar* objectPath = nullptr;
            g_variant_get(parameters, "(&o)", &objectPath);
            log(method.c_str(), json_pack("{s:s}", "path", objectPath));
            removeCreated(objectPath, invocation);
        } else if (method == "SetProperties") {
            setProperties(path, parameters, invocation);
        } else if (method == "SetColor") {
            setColor(path, parameters, invocation);
        } else {
            g_dbus_method_invocation_return_dbus_error(
                invocation, "org.freedesktop.DBus.Error.UnknownMethod", method.c_str());
        }
    }

    void returnDescriptor(GDBusMethodInvocation* invocation, int fd) {
        GUnixFDList* list = g_unix_fd_list_new();
        const gint index = g_unix_fd_list_append(list, fd, nullptr);
        close(fd);
        g_dbus_method_invocation_return_value_with_unix_fd_list(invocation,
                                                                g_variant_new("(h)", index), list);
        g_object_unref(list);
    }

    GVariant* managedObjects(const std::string& path) {
        GVariantBuilder objects;
        g_variant_builder_init(&objects, G_VARIANT_TYPE("a{oa{sa{sv}}}"));
        if (path == kStreamManager) {
            for (const auto& entry : m_streams) {
                g_variant_builder_add(&objects, "{o@a{sa{sv}}}", streamPath(entry.first).c_str(),
                                      streamProperties(entry.second));
            }
        } else {
            for (const auto& entry : m_external) {
                g_variant_builder_add(&objects, "{o@a{sa{sv}}}", overlayPath(entry.first).c_str(),
                                      overlayProperties(entry.second));
            }
            for (const auto& entry : m_created) {
                g_variant_builder_add(&objects, "{o@a{sa{sv}}}", entry.second.overlay.path.c_str(),
                                      overlayProperties(asAnnounced(entry.second)));
            }
        }
        return g_variant_new("(a{oa{sa{sv}}})", &objects);
    }

    static OverlayInfo asAnnounced(const Created& created) {
        return OverlayInfo{created.overlay.id,
                           "paletteoverlay",
                           created.overlay.position,
                           created.overlay.size,
                           false,
                           1};
    }

    void fail(GDBusMethodInvocation* invocation, const std::string& message) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, "org.freedesktop.DBus.Error.InvalidArgs", message.c_str());
    }

    void createOverlay(GVariant* parameters, GDBusMethodInvocation* invocation) {
        GVariant* dictionary = g_variant_get_child_value(parameters, 0);
        json_t* arguments = json_object();
        GVariantIter iter;
        const gchar* key = nullptr;
        const gchar* value = nullptr;
        g_variant_iter_init(&iter, dictionary);
        while (g_variant_iter_next(&iter, "{&s&s}", &key, &value)) {
            json_object_set_new(arguments, key, json_string(value));
        }
        g_variant_unref(dictionary);
        log("CreateOverlay", json_incref(arguments));
        const JsonPtr properties(arguments);
        const auto text = [&](const char* name) {
            const json_t* member = json_object_get(arguments, name);
            return member != nullptr ? std::string(json_string_value(member)) : std::string();
        };
        for (const char* name :
             {"Size", "Position", "Visible", "OverlayFormat", "Stream", "Camera"}) {
            if (json_object_get(arguments, name) == nullptr) {
                return fail(invocation, std::string("missing ") + name);
            }
        }
        int width = 0;
        int height = 0;
        double x = 0;
        double y = 0;
        if (!parseSize(text("Size"), width, height) ||
            width * height / 2 + kBufferExtra > kSlotSize) {
            return fail(invocation, "bad Size " + text("Size"));
        }
        if (!parsePosition(text("Position"), x, y)) {
            return fail(invocation, "bad Position " + text("Position"));
        }
        if (text("OverlayFormat") != "palette") {
            return fail(invocation, "unsupported OverlayFormat " + text("OverlayFormat"));
        }
        if (m_failNextCreate) {
            m_failNextCreate = false;
            return fail(invocation, "injected failure");
        }
        const int stream = std::atoi(text("Stream").c_str());
        const auto streamIt = m_streams.find(stream);
        if (streamIt == m_streams.end()) {
            return fail(invocation, "no stream " + text("Stream"));
        }
        const int id = m_nextCreatedId++;
        Created created{CreatedOverlay{id,
                                       overlayPath(id),
                                       stream,
                                       text("Size"),
                                       text("Position"),
                                       text("Visible") == "true",
                                       0,
                                       {}},
                        width,
                        height,
                        0,
                        m_nextSlot,
                        0,
                        -1,
                        {}};
        const int streamHeight =
            streamIt->second.rotation % 180 == 0 ? streamIt->second.height : streamIt->second.width;
        created.top = static_cast<int>((y + 1.0) / 2.0 * streamHeight + 0.5);
        m_nextSlot = (m_nextSlot + 2) % kSlots;
        const std::vector<unsigned char> pattern(width * height / 2 + kBufferExtra, kUnwritten);
        for (int slot = 0; slot < 2; ++slot) {
            if (pwrite(m_device, pattern.data(), pattern.size(),
                       off_t(created.firstSlot + slot) * kSlotSize) < 0) {
                return fail(invocation, "cannot prepare buffers");
            }
        }
        m_overlayRegistrations[id] = registerObject(created.overlay.path, kOverlayInterface);
        m_registrations.push_back(m_overlayRegistrations[id]);
        m_created.emplace(id, created);
        g_dbus_method_invocation_return_value(invocation,
                                              g_variant_new("(o)", created.overlay.path.c_str()));
        emit(kOverlayManager, "InterfacesAdded",
             g_variant_new("(o@a{sa{sv}})", created.overlay.path.c_str(),
                           overlayProperties(asAnnounced(created))));
    }

    void removeCreated(const std::string& path, GDBusMethodInvocation* invocation) {
        for (auto it = m_created.begin(); it != m_created.end(); ++it) {
            if (it->second.overlay.path == path) {
                g_dbus_method_invocation_return_value(invocation, nullptr);
                dropCreated(it);
                return;
            }
        }
        fail(invocation, "no overlay " + path);
    }

    void dropCreated(std::map<int, Created>::iterator it) {
        const std::string path = it->second.overlay.path;
        const guint registration = m_overlayRegistrations[it->first];
        g_dbus_connection_unregister_object(m_connection, registration);
        m_registrations.erase(
            std::find(m_registrations.begin(), m_registrations.end(), registration));
        m_overlayRegistrations.erase(it->first);
        m_created.erase(it);
        emitRemoved(kOverlayManager, path, kOverlayInterface);
    }

    void setProperties(const std::string& path, GVariant* parameters,
                       GDBusMethodInvocation* invocation) {
        const gchar* visible = nullptr;
        GVariant* dictionary = g_variant_get_child_value(parameters, 0);
        const bool hasVisible = g_variant_lookup(dictionary, "Visible", "&s", &visible);
        log("SetProperties",
            json_pack("{s:s, s:s}", "path", path.c_str(), "Visible", hasVisible ? visible : ""));
        for (auto& entry : m_created) {
            if (entry.second.overlay.path == path && hasVisible) {
                entry.second.overlay.visible = g_strcmp0(visible, "true") == 0;
            }
        }
        g_variant_unref(dictionary);
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    void setColor(const std::string& path, GVariant* parameters,
                  GDBusMethodInvocation* invocation) {
        guint8 red = 0, green = 0, blue = 0, alpha = 0;
        gboolean flag = FALSE;
        g_variant_get(parameters, "(yyyyb)", &red, &green, &blue, &alpha, &flag);
        const int index = std::atoi(path.substr(path.rfind('/') + 1).c_str());
        log("SetColor", json_pack("{s:i, s:[iiii], s:b}", "index", index, "color", red, green, blue,
                                  alpha, "flag", flag));
        m_palette[index] = PaletteColor{red, green, blue, alpha};
        m_paletteCalls.push_back(std::to_string(index) + ": " + std::to_string(red) + " " +
                                 std::to_string(green) + " " + std::to_string(blue) + " " +
                                 std::to_string(alpha));
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    // --- command channels ---

    int newChannel() {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
            return -1;
        }
        m_channels.push_back(ends[0]);
        m_channelThreads.emplace_back([this, fd = ends[0]] { serveChannel(fd); });
        return ends[1];
    }

    void serveChannel(int fd) {
        std::string pending;
        char chunk[4096];
        for (;;) {
            const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
            if (got <= 0) {
                break;
            }
            pending.append(chunk, static_cast<std::size_t>(got));
            for (std::size_t end = pending.find('\0'); end != std::string::npos;
                 end = pending.find('\0')) {
                const std::string answer = answerCommand(pending.substr(0, end));
                pending.erase(0, end + 1);
                if (send(fd, answer.c_str(), answer.size() + 1, MSG_NOSIGNAL) < 0) {
                    break;
                }
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_channels.erase(std::find(m_channels.begin(), m_channels.end(), fd));
        close(fd);
    }

    std::string answerCommand(const std::string& command) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const JsonPtr json(json_loads(command.c_str(), 0, nullptr));
        const char* method = json_string_value(json_object_get(json.get(), "method"));
        const json_t* params = json_object_get(json.get(), "params");
        const int overlayId =
            static_cast<int>(json_integer_value(json_object_get(params, "overlayId")));
        const auto it = m_created.find(overlayId);
        json_t* logged = json_deep_copy(json.get());
        log("command", logged != nullptr ? logged : json_string(command.c_str()));
        const bool complete = json && json_is_string(json_object_get(json.get(), "apiVersion")) &&
                              json_is_string(json_object_get(json.get(), "context")) &&
                              method != nullptr && it != m_created.end();
        if (complete && std::string(method) == "getBuffer") {
            if (m_failNextGetBuffer) {
                m_failNextGetBuffer = false;
                return R"({"apiVersion":"1.0","method":"getBuffer","data":{}})";
            }
            Created& created = it->second;
            created.handle = (created.firstSlot + created.nextSlot) * kSlotSize;
            created.nextSlot ^= 1;
            return R"({"apiVersion":"1.0","method":"getBuffer","data":{"buffer":)" +
                   std::to_string(created.handle) + "}}";
        }
        if (complete && std::string(method) == "submitBuffer") {
            const json_t* buffer = json_object_get(params, "buffer");
            if (m_failNextSubmit || !json_is_integer(buffer) ||
                json_integer_value(buffer) != it->second.handle) {
                m_failNextSubmit = false;
                return R"({"apiVersion":"1.0","method":"submitBuffer","error":{"code":2003}})";
            }
            submitted(it->second);
            return R"({"apiVersion":"1.0","method":"submitBuffer","data":{}})";
        }
        return R"({"apiVersion":"1.0","error":{"code":1000,"message":"bad command"}})";
    }

    void submitted(Created& created) {
        ++m_submits;
        ++created.overlay.submits;
        std::vector<unsigned char>& buffer = created.overlay.lastBuffer;
        buffer.resize(created.width * created.height / 2 + kBufferExtra);
        if (pread(m_device, buffer.data(), buffer.size(), created.handle) < 0) {
            buffer.clear();
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - created.lastPicture >= kPictureInterval) {
            created.lastPicture = now;
            writePicture(created);
        }
    }

    // The stream as it would look: our overlay's pixels at its rows, the
    // bands of other applications' overlays in palette index 15 (blue) and
    // grey everywhere else.
    void writePicture(const Created& created) {
        const auto stream = m_streams.find(created.overlay.stream);
        if (stream == m_streams.end() || created.overlay.lastBuffer.empty()) {
            return;
        }
        const bool sideways = stream->second.rotation % 180 != 0;
        const int width = created.width;
        const int height = sideways ? stream->second.width : stream->second.height;
        std::vector<unsigned char> picture(static_cast<std::size_t>(width / 2) * height, 0xEE);
        for (const auto& entry : m_external) {
            int bandWidth = 0;
            int bandHeight = 0;
            if (!parseSize(entry.second.size, bandWidth, bandHeight)) {
                continue;
            }
            const bool bottom = entry.second.position.find("bottom") != std::string::npos;
            const int first = bottom ? height - bandHeight : 0;
            for (int row = std::max(0, first); row < std::min(height, first + bandHeight); ++row) {
                std::fill_n(picture.begin() + row * (width / 2), width / 2, 0xFF);
            }
        }
        const unsigned char* pixels = created.overlay.lastBuffer.data() + kHeaderSize;
        for (int row = 0; row < created.height && created.top + row < height; ++row) {
            std::copy_n(pixels + row * (width / 2), width / 2,
                        picture.begin() + (created.top + row) * (width / 2));
        }
        Palette palette = m_palette;
        palette[14] = PaletteColor{0, 0, 0, 0};
        palette[15] = PaletteColor{40, 80, 220, 160};
        m_pictures.write(picturePath(created.overlay.stream), std::move(picture), width, height,
                         palette);
    }

    std::string m_address;
    std::string m_devicePath;
    int m_device = -1;
    GDBusNodeInfo* m_node = nullptr;

    mutable std::mutex m_mutex;
    std::condition_variable m_readyCondition;
    bool m_ready = false;
    std::string m_startError;
    std::thread m_thread;
    GMainLoop* m_loop = nullptr;
    GDBusConnection* m_connection = nullptr;
    std::vector<guint> m_registrations;
    std::map<int, guint> m_overlayRegistrations;

    std::map<int, StreamInfo> m_streams;
    std::map<int, OverlayInfo> m_external;
    std::map<int, Created> m_created;
    int m_nextCreatedId = kFirstCreatedId;
    int m_nextSlot = 0;
    Palette m_palette;
    std::vector<std::string> m_paletteCalls;
    std::vector<int> m_channels;
    std::vector<std::thread> m_channelThreads;
    bool m_failNextSubmit = false;
    bool m_failNextGetBuffer = false;
    bool m_failNextCreate = false;
    bool m_refuseChannels = false;
    int m_submits = 0;
    std::vector<std::string> m_calls;

    PictureWriter m_pictures;
};

OverlayService::OverlayService(const std::string& busAddress)
    : m_impl(std::make_unique<Impl>(busAddress)) {}
OverlayService::~OverlayService() = default;

void OverlayService::addStream(const StreamInfo& stream) {
    m_impl->addStream(stream);
}
void OverlayService::removeStream(int streamId) {
    m_impl->removeStream(streamId);
}
void OverlayService::addOverlay(const OverlayInfo& overlay) {
    m_impl->addOverlay(overlay);
}
void OverlayService::changeOverlay(int overlayId, const std::string& position,
                                   const std::string& size) {
    m_impl->changeOverlay(overlayId, position, size);
}
void OverlayService::removeOverlay(int overlayId) {
    m_impl->removeOverlay(overlayId);
}
void OverlayService::answerNextSubmitWithError() {
    m_impl->answerNextSubmitWithError();
}
void OverlayService::answerNextGetBufferWithoutBuffer() {
    m_impl->answerNextGetBufferWithoutBuffer();
}
void OverlayService::failNextCreateOverlay() {
    m_impl->failNextCreateOverlay();
}
void OverlayService::refuseCommandChannels(bool refuse) {
    m_impl->refuseCommandChannels(refuse);
}
void OverlayService::dropCreatedOverlay(int overlayId) {
    m_impl->dropCreatedOverlay(overlayId);
}
void OverlayService::closeCommandChannels() {
    m_impl->closeCommandChannels();
}
void OverlayService::restart() {
    m_impl->restart();
}
std::vector<std::string> OverlayService::calls() const {
    return m_impl->calls();
}
std::vector<CreatedOverlay> OverlayService::createdOverlays() const {
    return m_impl->createdOverlays();
}
std::vector<std::string> OverlayService::paletteCalls() const {
    return m_impl->paletteCalls();
}
int OverlayService::submitCount() const {
    return m_impl->submitCount();
}

std::string OverlayService::picturePath(int streamId) {
    return camlet::rootedPath("/var/lib/overlaysim/stream" + std::to_string(streamId) + ".png");
}
std::string OverlayService::logPath() {
    return camlet::rootedPath("/var/log/overlaysim/calls.jsonl");
}

}  // namespace overlaysim
