#include "saneoptions.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace gf5::sane {

QString statusText(SANE_Status st) { return QString::fromUtf8(sane_strstatus(st)); }

namespace {

const SANE_Option_Descriptor* findOption(SANE_Handle h, const char* name, SANE_Int& index)
{
    SANE_Int count = 0;
    if (!sane_get_option_descriptor(h, 0) ||
        sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return nullptr;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (d && d->name && std::strcmp(d->name, name) == 0) {
            index = i;
            return d;
        }
    }
    return nullptr;
}

// The allowed word nearest to w.
SANE_Word fitWord(const SANE_Option_Descriptor* d, SANE_Word w)
{
    if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
        const SANE_Range* r = d->constraint.range;
        long long v = std::clamp<long long>(w, r->min, r->max);
        if (r->quant > 0) {
            v = r->min + (v - r->min + r->quant / 2) / r->quant * r->quant;
            if (v > r->max)
                v -= r->quant;
        }
        return SANE_Word(v);
    }
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list &&
        d->constraint.word_list[0] > 0) {
        const SANE_Word* list = d->constraint.word_list;
        SANE_Word best = list[1];
        for (SANE_Int i = 1; i <= list[0]; ++i)
            if (std::llabs((long long)list[i] - w) < std::llabs((long long)best - w))
                best = list[i];
        return best;
    }
    return w;
}

} // namespace

bool setOption(SANE_Handle h, const char* name, const QVariant& value)
{
    SANE_Int index = 0;
    const SANE_Option_Descriptor* d = findOption(h, name, index);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap))
        return false;
    SANE_Int info = 0;
    SANE_Status st = SANE_STATUS_INVAL;
    switch (d->type) {
    case SANE_TYPE_STRING: {
        if (d->size <= 0)
            return false;
        QByteArray text = value.toString().toUtf8();
        if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list) {
            // Take the device's own spelling of the value.
            bool found = false;
            for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) {
                if (QString::fromUtf8(*s).compare(value.toString(), Qt::CaseInsensitive) == 0) {
                    text = QByteArray(*s);
                    found = true;
                    break;
                }
            }
            if (!found)
                return false;
        }
        std::vector<char> buf(size_t(d->size), '\0');
        std::memcpy(buf.data(), text.constData(), std::min<size_t>(size_t(text.size()), buf.size() - 1));
        st = sane_control_option(h, index, SANE_ACTION_SET_VALUE, buf.data(), &info);
        break;
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
        if (d->size != SANE_Int(sizeof(SANE_Word)))
            return false; // arrays (gamma tables and the like) are not set here
        bool isNumber = false;
        const double v = value.toDouble(&isNumber);
        // Fixed-point words hold up to 32767.
        const double maxValue = d->type == SANE_TYPE_FIXED ? 32767.0 : 2147483647.0;
        if (!isNumber || !std::isfinite(v) || std::fabs(v) > maxValue)
            return false;
        SANE_Word w = d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : SANE_Word(std::lround(v));
        w = fitWord(d, w);
        st = sane_control_option(h, index, SANE_ACTION_SET_VALUE, &w, &info);
        break;
    }
    case SANE_TYPE_BOOL: {
        SANE_Bool b = value.toBool() ? SANE_TRUE : SANE_FALSE;
        st = sane_control_option(h, index, SANE_ACTION_SET_VALUE, &b, &info);
        break;
    }
    default:
        return false;
    }
    return st == SANE_STATUS_GOOD;
}

double numberOption(SANE_Handle h, const char* name)
{
    SANE_Int index = 0;
    const SANE_Option_Descriptor* d = findOption(h, name, index);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->size != SANE_Int(sizeof(SANE_Word)) ||
        (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
        return 0;
    SANE_Word w = 0;
    if (sane_control_option(h, index, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
        return 0;
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

long long neededBytes(const SANE_Parameters& p)
{
    const long long samples = (long long)p.pixels_per_line * (p.format == SANE_FRAME_RGB ? 3 : 1);
    return p.depth == 1 ? (samples + 7) / 8 : samples * (p.depth / 8);
}

static inline int sampleAt(const uint8_t* row, long long s, int depth)
{
    if (depth == 8)
        return row[s];
    if (depth == 16) {
        uint16_t v;
        std::memcpy(&v, row + 2 * s, 2); // native byte order
        return v >> 8;
    }
    return (row[s >> 3] >> (7 - (s & 7))) & 1;
}

void convertRow(const uint8_t* src, QRgb* dst, const SANE_Parameters& p)
{
    const int w = p.pixels_per_line;
    switch (p.format) {
    case SANE_FRAME_GRAY:
        for (int x = 0; x < w; ++x) {
            int v = sampleAt(src, x, p.depth);
            if (p.depth == 1)
                v = v ? 0 : 255;
            dst[x] = qRgb(v, v, v);
        }
        break;
    case SANE_FRAME_RGB:
        for (int x = 0; x < w; ++x) {
            int c[3];
            for (int k = 0; k < 3; ++k) {
                c[k] = sampleAt(src, 3LL * x + k, p.depth);
                if (p.depth == 1)
                    c[k] = c[k] ? 255 : 0;
            }
            dst[x] = qRgb(c[0], c[1], c[2]);
        }
        break;
    default: { // one colour of a three-pass scan
        const int shift = p.format == SANE_FRAME_RED ? 16 : p.format == SANE_FRAME_GREEN ? 8 : 0;
        for (int x = 0; x < w; ++x) {
            int v = sampleAt(src, x, p.depth);
            if (p.depth == 1)
                v = v ? 255 : 0;
            dst[x] = (dst[x] & ~(0xFFu << shift)) | (QRgb(v) << shift);
        }
        break;
    }
    }
}

} // namespace gf5::sane
