#include "core/TOrvantaCollectionItem2.h"

bool TOrvantaCollectionItem2::IsEqualTo(const TOrvantaCollectionItem2 *) const { return false; }
void TOrvantaCollectionItem2::SaveToStream(TSimpleFileStream *) {}
void TOrvantaCollectionItem2::LoadFromStream(TSimpleFileStream *) {}
