#include "SpriteReading.h"

#include "File.h"
#include "store/library/FilmDataReaders.h"

#include <filesystem>

namespace filmcheck {

namespace {

bool ReadAtom(qtf::ByteReader& r, AtomNode& node, std::string& why, int depth) {
  uint32_t size;
  uint16_t reserved, count;
  uint32_t reserved2;
  if (!r.ReadU32(size) || !r.ReadU32(node.type) || !r.ReadU32(node.id) || !r.ReadU16(reserved) ||
      !r.ReadU16(count) || !r.ReadU32(reserved2)) {
    why = "atom header cut short";
    return false;
  }
  if (size < 20 || size - 20 > r.Remaining()) {
    why = "atom '" + qtf::TagText(node.type) + "' of size " + std::to_string(size) + " does not fit";
    return false;
  }
  if (reserved != 0 || reserved2 != 0) {
    why = "reserved fields not zero in '" + qtf::TagText(node.type) + "'";
    return false;
  }
  qtf::ByteReader body;
  (void)r.Sub(size - 20, body);
  if (count == 0) {
    node.leaf = true;
    (void)body.ReadBytes(body.Remaining(), node.data);
    return true;
  }
  if (depth > 32) {
    why = "atoms nested too deep";
    return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    AtomNode child;
    if (!ReadAtom(body, child, why, depth + 1)) return false;
    node.children.push_back(std::move(child));
  }
  if (body.Remaining() != 0) {
    why = "children of '" + qtf::TagText(node.type) + "' do not fill it";
    return false;
  }
  return true;
}

uint32_t U32(const Bytes& b, size_t at = 0) {
  return at + 4 <= b.size() ? (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3]
                            : 0;
}
uint16_t U16(const Bytes& b, size_t at = 0) { return at + 2 <= b.size() ? uint16_t((b[at] << 8) | b[at + 1]) : 0; }

std::vector<Action> Actions(const AtomNode& event) {
  std::vector<Action> out;
  for (const AtomNode* a : event.Children(qtf::Tag("actn"))) {
    Action action;
    // The programs read the first child as the type and the next ones as
    // the parameters: the order is the contract.
    for (size_t i = 0; i < a->children.size(); ++i) {
      const AtomNode& c = a->children[i];
      if (i == 0) {
        action.type = c.type == qtf::Tag("whic") ? U32(c.data) : 0;
      } else if (c.type == qtf::Tag("parm") && c.id == i) {
        action.parameters.push_back(c.data);
      } else {
        action.type = 0;  // out of order: unreadable by the programs
      }
    }
    out.push_back(std::move(action));
  }
  return out;
}

}  // namespace

const AtomNode* AtomNode::Child(qtf::FourCC t, uint32_t i) const {
  for (const AtomNode& c : children)
    if (c.type == t && (i == 0 || c.id == i)) return &c;
  return nullptr;
}

std::vector<const AtomNode*> AtomNode::Children(qtf::FourCC t) const {
  std::vector<const AtomNode*> out;
  for (const AtomNode& c : children)
    if (c.type == t) out.push_back(&c);
  return out;
}

bool ReadContainer(const Bytes& bytes, AtomNode& root, std::string& why) {
  qtf::ByteReader r(bytes);
  std::vector<uint8_t> header;
  if (!r.ReadBytes(12, header)) {
    why = "container header cut short";
    return false;
  }
  for (uint8_t b : header)
    if (b != 0) {
      why = "container header not zero";
      return false;
    }
  if (!ReadAtom(r, root, why, 0)) return false;
  if (root.type != qtf::Tag("sean") || root.id != 1) {
    why = "the root is not 'sean' ID 1";
    return false;
  }
  if (r.Remaining() != 0) {
    why = "bytes after the root atom";
    return false;
  }
  return true;
}

std::string Action::Text() const {
  if (parameters.size() < 2) return {};
  const Bytes& p = parameters[1];
  if (type == 0x2000) {
    if (p.empty() || p[0] + 1u != p.size()) return "(bad length byte)";
    return std::string(p.begin() + 1, p.end());
  }
  if (p.empty() || p.back() != 0) return "(no zero byte)";
  return std::string(p.begin(), p.end() - 1);
}

bool ReadKeyFrame(const Bytes& sample, KeyFrame& out, std::string& why) {
  AtomNode root;
  if (!ReadContainer(sample, root, why)) return false;
  const AtomNode* dflt = root.Child(qtf::Tag("dflt"), 1);
  const AtomNode* imct = dflt ? dflt->Child(qtf::Tag("imct"), 1) : nullptr;
  if (!imct) {
    why = "no 'dflt'/'imct'";
    return false;
  }
  const std::vector<const AtomNode*> images = imct->Children(qtf::Tag("imag"));
  for (size_t i = 0; i < images.size(); ++i) {
    const AtomNode* imda = images[i]->Child(qtf::Tag("imda"), 1);
    if (images[i]->id != i + 1 || !imda || !imda->leaf) {
      why = "image " + std::to_string(i + 1) + " out of order or without 'imda'";
      return false;
    }
    const uint32_t descriptionSize = U32(imda->data);
    if (descriptionSize < 86 || descriptionSize > imda->data.size()) {
      why = "image description size";
      return false;
    }
    ImageInfo image;
    image.description.format = U32(imda->data, 4);
    image.description.entry.assign(imda->data.begin(), imda->data.begin() + descriptionSize);
    image.data.assign(imda->data.begin() + descriptionSize, imda->data.end());
    image.width = U16(imda->data, 32);
    image.height = U16(imda->data, 34);
    const uint32_t dataSize = U32(imda->data, 44);
    if (dataSize != 0 && dataSize != image.data.size()) {
      why = "image data size";
      return false;
    }
    out.images.push_back(std::move(image));
  }
  for (const AtomNode* s : root.Children(qtf::Tag("sprt"))) {
    SpriteInfo info;
    info.id = s->id;
    if (const AtomNode* m = s->Child(1, 1)) {
      info.x = int32_t(U32(m->data, 24)) / 0x10000;
      info.y = int32_t(U32(m->data, 28)) / 0x10000;
    }
    if (const AtomNode* v = s->Child(4, 1)) info.visible = U16(v->data) != 0;
    if (const AtomNode* l = s->Child(5, 1)) info.layer = int16_t(U16(l->data));
    if (const AtomNode* g = s->Child(6, 1)) info.mode = U32(g->data);
    info.image = 1;
    if (const AtomNode* i = s->Child(100, 1)) info.image = U16(i->data);
    if (const AtomNode* n = s->Child(qtf::Tag("name"), 1)) info.name.assign(n->data.begin(), n->data.end());
    for (const AtomNode* e : s->Children(qtf::Tag("evnt"))) info.events[e->id] = Actions(*e);
    out.sprites.push_back(std::move(info));
  }
  return true;
}

Bytes SampleBytes(const std::string& path, const qtf::TrackModel& track, uint32_t sample) {
  uint64_t offset = 0, size = 0;
  Bytes out;
  if (!track.media.samples.SampleRange(sample, offset, size)) return out;
  qtf::File file;
  if (!file.Open(path, qtf::File::Mode::Read).Ok()) return out;
  out.resize(size_t(size));
  if (!file.ReadAt(offset, out.size(), out.data()).Ok()) out.clear();
  return out;
}

Bytes FileBytes(const std::string& path) {
  Bytes out;
  qtf::File file;
  if (!file.Open(path, qtf::File::Mode::Read).Ok()) return out;
  out.resize(size_t(file.Size()));
  if (!file.ReadAt(0, out.size(), out.data()).Ok()) out.clear();
  return out;
}

namespace {

// Runs a reader from inside the film's folder, and goes back.
template <class F>
auto InFolderOf(const std::string& path, F read) {
  namespace fs = std::filesystem;
  const fs::path old = fs::current_path();
  const fs::path film(path);
  fs::current_path(film.parent_path());
  struct Back {
    fs::path to;
    ~Back() { fs::current_path(to); }
  } back{old};
  return read(film.filename().string());
}

}  // namespace

std::map<std::string, std::string> StoredActions(const std::string& path) {
  std::vector<manager_data::ActionRecord> records;
  InFolderOf(path, [&](const std::string& name) {
    manager_data::ImportFilmActions(name, records);
    return 0;
  });
  std::map<std::string, std::string> out;
  for (const auto& r : records) out[r.sprite] = r.actionText;
  return out;
}

bool StoredPreferences(const std::string& path, std::map<std::string, std::string>& preferences) {
  return InFolderOf(path, [&](const std::string& name) { return manager_data::ReadStoredPreferences(name, preferences); });
}

}  // namespace filmcheck
