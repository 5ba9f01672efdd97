#include "XHeaderCtrl.h"

void CXHeaderCtrl::SetImageList(HIMAGELIST images)
{
    SendMessageA(header_, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

int CXHeaderCtrl::GetItemImage(int column) const
{
    HDITEMA item = {};
    item.mask = HDI_IMAGE | HDI_FORMAT;
    if (!SendMessageA(header_, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
        return 0;
    }
    return (item.fmt & HDF_IMAGE) ? item.iImage : 0;
}

void CXHeaderCtrl::SetItemImage(int column, int image)
{
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header_, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
        return;
    }
    item.mask = HDI_IMAGE | HDI_FORMAT;
    item.fmt |= HDF_IMAGE;
    item.iImage = image;
    SendMessageA(header_, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
}

UINT CXHeaderCtrl::TextAlignment(int column) const
{
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header_, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
        return DT_LEFT;
    }
    switch (item.fmt & HDF_JUSTIFYMASK) {
    case HDF_CENTER:
        return DT_CENTER;
    case HDF_RIGHT:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}
