#include "ui/library/index_list_model.h"

#include <gtk/gtk.h>
#include <gtkmm/selectionmodel.h>

namespace {

// The C side: a GListModel whose items are plain objects made on first request.
struct KoviIndexModel {
    GObject parent;
    GPtrArray* items; // one slot per position, NULL until asked for
};

struct KoviIndexModelClass {
    GObjectClass parent;
};

GType kovi_index_model_get_type();
void kovi_index_model_list_init(GListModelInterface* iface);

G_DEFINE_TYPE_WITH_CODE(KoviIndexModel, kovi_index_model, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_LIST_MODEL, kovi_index_model_list_init))

KoviIndexModel* asIndexModel(gpointer self)
{
    return G_TYPE_CHECK_INSTANCE_CAST(self, kovi_index_model_get_type(), KoviIndexModel);
}

void kovi_index_model_finalize(GObject* object)
{
    g_ptr_array_unref(asIndexModel(object)->items);
    G_OBJECT_CLASS(kovi_index_model_parent_class)->finalize(object);
}

void kovi_index_model_class_init(KoviIndexModelClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = kovi_index_model_finalize;
}

void kovi_index_model_init(KoviIndexModel* self)
{
    self->items = g_ptr_array_new_with_free_func(+[](gpointer item) {
        if (item)
            g_object_unref(item);
    });
}

GType itemType(GListModel*)
{
    return G_TYPE_OBJECT;
}

guint itemCount(GListModel* list)
{
    return asIndexModel(list)->items->len;
}

gpointer item(GListModel* list, guint position)
{
    GPtrArray* items = asIndexModel(list)->items;
    if (position >= items->len)
        return nullptr;
    if (!items->pdata[position])
        items->pdata[position] = g_object_new(G_TYPE_OBJECT, nullptr);
    return g_object_ref(items->pdata[position]);
}

void kovi_index_model_list_init(GListModelInterface* iface)
{
    iface->get_item_type = itemType;
    iface->get_n_items = itemCount;
    iface->get_item = item;
}

} // namespace

namespace kovi {

IndexListModel::IndexListModel() : m_model(G_LIST_MODEL(g_object_new(kovi_index_model_get_type(), nullptr)))
{
    // The selection model takes its own reference.
    GtkNoSelection* selection = gtk_no_selection_new(G_LIST_MODEL(g_object_ref(m_model)));
    m_selection = Glib::wrap(GTK_SELECTION_MODEL(selection));
}

IndexListModel::~IndexListModel()
{
    m_selection.reset();
    g_object_unref(m_model);
}

unsigned IndexListModel::count() const
{
    return g_list_model_get_n_items(m_model);
}

void IndexListModel::reset(unsigned count)
{
    GPtrArray* items = asIndexModel(m_model)->items;
    const guint removed = items->len;
    g_ptr_array_set_size(items, 0);
    g_ptr_array_set_size(items, count);
    if (removed || count)
        g_list_model_items_changed(m_model, 0, removed, count);
}

} // namespace kovi
