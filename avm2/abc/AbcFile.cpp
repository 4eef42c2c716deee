#include "AbcFile.h"

namespace avm2::abc {

bool Multiname::isAttribute() const
{
    switch (kind) {
    case MultinameKind::QNameA:
    case MultinameKind::RTQNameA:
    case MultinameKind::RTQNameLA:
    case MultinameKind::MultinameA:
    case MultinameKind::MultinameLA:
        return true;
    default:
        return false;
    }
}

bool Multiname::hasRuntimeNamespace() const
{
    switch (kind) {
    case MultinameKind::RTQName:
    case MultinameKind::RTQNameA:
    case MultinameKind::RTQNameL:
    case MultinameKind::RTQNameLA:
        return true;
    default:
        return false;
    }
}

bool Multiname::hasRuntimeName() const
{
    switch (kind) {
    case MultinameKind::RTQNameL:
    case MultinameKind::RTQNameLA:
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA:
        return true;
    default:
        return false;
    }
}

} // namespace avm2::abc
