// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/JpegRewrite.h"

#include <algorithm>
#include <new>
#include <utility>

#include "engine/bytes/ByteOrder.h"
#include "engine/jpeg/JpegCodec.h"
#include "engine/jpeg/JpegMarkerWalk.h"

namespace velquist::jpeg {

namespace {

constexpr std::uint8_t kDht = 0xC4;

bool SameCodes(const JpegHuffmanTable& a, const JpegHuffmanTable& b) {
    return a.counts == b.counts && a.symbols == b.symbols;
}

bool SameScan(const JpegScan& a, const JpegScan& b) {
    if (a.ss != b.ss || a.se != b.se || a.ah != b.ah || a.al != b.al || a.components.size() != b.components.size())
        return false;
    for (std::size_t i = 0; i < a.components.size(); ++i)
        if (a.components[i].component != b.components[i].component) return false;
    return true;
}

}  // namespace

JpegRewrite::JpegRewrite(std::span<const std::uint8_t> file, const JpegLayout& layout,
                         const JpegCoefficients& coefficients)
    : file_(file), layout_(layout), coefficients_(coefficients), final_(layout.huffmanTables) {
    for (const JpegScan& scan : layout.scans) {
        LibjpegScript s;
        s.count = static_cast<std::uint8_t>(scan.components.size());
        for (std::size_t i = 0; i < scan.components.size(); ++i) s.planes[i] = scan.components[i].component;
        s.ss = scan.ss;
        s.se = scan.se;
        s.ah = scan.ah;
        s.al = scan.al;
        script_.push_back(s);
    }
}

std::vector<JpegRewrite::Need> JpegRewrite::NeedsOf(std::size_t scan, bool withTables) const {
    const JpegScan& s = layout_.scans[scan];
    std::vector<Need> needs;
    for (const JpegScanComponent& c : s.components) {
        auto tableOf = [&](int index) {
            return withTables && index >= 0 ? &final_[static_cast<std::size_t>(index)] : nullptr;
        };
        std::uint8_t dcConditioning = layout_.arithmetic ? c.dcConditioning : 0;
        std::uint8_t acConditioning = layout_.arithmetic ? c.acConditioning : 0;
        if (s.codesDc) needs.push_back({c.component, 0, c.dcSlot, dcConditioning, tableOf(c.dcTable)});
        if (s.codesAc) needs.push_back({c.component, 1, c.acSlot, acConditioning, tableOf(c.acTable)});
    }
    return needs;
}

bool JpegRewrite::Compatible(const Need& a, const Need& b) {
    if (a.tableClass != b.tableClass) return true;
    if (a.component == b.component && a.slot != b.slot) return false;
    if (a.slot != b.slot) return true;
    return a.conditioning == b.conditioning && (a.table == nullptr || b.table == nullptr || SameCodes(*a.table, *b.table));
}

std::vector<JpegRewrite::Run> JpegRewrite::Group(bool withTables) const {
    std::vector<Run> runs;
    for (std::size_t s = 0; s < layout_.scans.size(); ++s) {
        std::vector<Need> needs = NeedsOf(s, withTables);
        std::uint16_t restart = layout_.scans[s].restartInterval;
        auto fits = [&](const Run& run) {
            return run.restartInterval == restart &&
                   std::all_of(needs.begin(), needs.end(), [&](const Need& n) {
                       return std::all_of(run.needs.begin(), run.needs.end(),
                                          [&](const Need& m) { return Compatible(n, m); });
                   });
        };
        auto run = std::find_if(runs.begin(), runs.end(), fits);
        if (run == runs.end()) {
            runs.push_back({});
            run = runs.end() - 1;
            run->restartInterval = restart;
        }
        run->scans.push_back(s);
        run->needs.insert(run->needs.end(), needs.begin(), needs.end());
    }
    return runs;
}

std::uint8_t JpegRewrite::DefaultSlot(std::uint8_t component, std::uint8_t tableClass) const {
    for (const JpegScan& scan : layout_.scans)
        for (const JpegScanComponent& c : scan.components)
            if (c.component == component && (tableClass == 0 ? scan.codesDc : scan.codesAc))
                return tableClass == 0 ? c.dcSlot : c.acSlot;
    return 0;
}

LibjpegWrite JpegRewrite::JobFor(const Run& run, bool optimise, std::vector<LibjpegPlane>& planes) const {
    auto slotFor = [&](std::uint8_t component, std::uint8_t tableClass) {
        for (const Need& n : run.needs)
            if (n.component == component && n.tableClass == tableClass) return n.slot;
        return DefaultSlot(component, tableClass);
    };
    planes.clear();
    for (std::size_t i = 0; i < layout_.components.size(); ++i) {
        const JpegComponent& c = layout_.components[i];
        auto index = static_cast<std::uint8_t>(i);
        planes.push_back({c.id, c.h, c.v, c.widthInBlocks, c.heightInBlocks, slotFor(index, 0), slotFor(index, 1)});
    }
    LibjpegWrite job;
    job.width = layout_.width;
    job.height = layout_.height;
    job.planes = planes;
    job.scans = script_;
    job.arithmetic = layout_.arithmetic;
    job.optimise = optimise;
    job.jfif = layout_.hasJfif;
    job.adobe = layout_.hasAdobe;
    job.restartInterval = run.restartInterval;
    job.values = coefficients_.values.data();
    job.sizeHint = file_.size() + file_.size() / 8 + 4096;
    // Slots first as this run's scans need them, then as any other scan does: libjpeg writes
    // every scan and needs a table for each slot, though only this run's scans are kept.
    std::array<std::array<bool, 4>, 2> conditioned{};
    auto fill = [&](const Need& n) {
        auto slot = static_cast<std::size_t>(n.slot);
        auto& tables = n.tableClass == 0 ? job.dcTables : job.acTables;
        auto& conditioning = n.tableClass == 0 ? job.dcConditioning : job.acConditioning;
        if (tables[slot] == nullptr) tables[slot] = n.table;
        if (!std::exchange(conditioned[n.tableClass][slot], true)) conditioning[slot] = n.conditioning;
    };
    bool fixed = !optimise && !layout_.arithmetic;
    for (const Need& n : run.needs) fill(n);
    if (fixed || layout_.arithmetic)
        for (std::size_t s = 0; s < layout_.scans.size(); ++s)
            for (const Need& n : NeedsOf(s, fixed)) fill(n);
    return job;
}

std::vector<JpegRewrite::Output> JpegRewrite::Code(const std::vector<Run>& runs, bool optimise) const {
    std::vector<Output> outputs;
    std::vector<LibjpegPlane> planes;
    for (const Run& run : runs) {
        Output output;
        switch (WriteWithLibjpeg(JobFor(run, optimise, planes), output.file)) {
            case LibjpegOutcome::Done: break;
            case LibjpegOutcome::OutOfMemory: throw std::bad_alloc();
            case LibjpegOutcome::Refused: throw JpegRewriteFailed("libjpeg refused the new coefficients");
        }
        WalkNotes notes;
        bool sound = WalkMarkers(output.file, output.layout, notes) == JpegDamage::None &&
                     output.layout.scans.size() == layout_.scans.size();
        for (std::size_t s = 0; sound && s < layout_.scans.size(); ++s)
            sound = SameScan(output.layout.scans[s], layout_.scans[s]);
        if (!sound) throw JpegRewriteFailed("libjpeg wrote another scan script");
        outputs.push_back(std::move(output));
    }
    return outputs;
}

const JpegHuffmanTable& JpegRewrite::TableOf(const Output& output, std::size_t scan, std::size_t position,
                                             std::uint8_t tableClass) const {
    const JpegScanComponent& c = output.layout.scans[scan].components[position];
    int index = tableClass == 0 ? c.dcTable : c.acTable;
    if (index < 0) throw JpegRewriteFailed("libjpeg wrote a scan without its table");
    return output.layout.huffmanTables[static_cast<std::size_t>(index)];
}

std::vector<JpegRewrite::Use> JpegRewrite::Uses() const {
    std::vector<Use> uses;
    for (std::size_t s = 0; s < layout_.scans.size(); ++s) {
        const std::vector<JpegScanComponent>& components = layout_.scans[s].components;
        for (std::size_t p = 0; p < components.size(); ++p) {
            if (components[p].dcTable >= 0) uses.push_back({s, p, 0, static_cast<std::size_t>(components[p].dcTable)});
            if (components[p].acTable >= 0) uses.push_back({s, p, 1, static_cast<std::size_t>(components[p].acTable)});
        }
    }
    return uses;
}

bool JpegRewrite::KeepOptimised(const std::vector<Run>& runs, const std::vector<Output>& outputs) {
    std::vector<std::size_t> runOf(layout_.scans.size());
    for (std::size_t r = 0; r < runs.size(); ++r)
        for (std::size_t s : runs[r].scans) runOf[s] = r;
    auto madeFor = [&](const Use& u) -> const JpegHuffmanTable& {
        return TableOf(outputs[runOf[u.scan]], u.scan, u.position, u.tableClass);
    };
    std::vector<bool> replaced(final_.size(), false);
    for (const Use& u : Uses()) {
        const JpegHuffmanTable& own = layout_.huffmanTables[u.table];
        const JpegHuffmanTable& made = madeFor(u);
        if (!layout_.progressive && (own.CodesEverySymbol() || own.Codes(made.symbols))) continue;
        if (replaced[u.table] && !SameCodes(final_[u.table], made))
            throw JpegRewriteFailed("two scans need different tables in one place");
        replaced[u.table] = true;
        final_[u.table].counts = made.counts;
        final_[u.table].symbols = made.symbols;
    }
    std::vector<Use> uses = Uses();
    return std::all_of(uses.begin(), uses.end(), [&](const Use& u) { return SameCodes(final_[u.table], madeFor(u)); });
}

std::vector<std::uint8_t> JpegRewrite::TableSegment(std::size_t segment) const {
    Bytes whole{0xFF, kDht, 0, 0};
    for (const JpegHuffmanTable& t : final_) {
        if (t.segment != segment) continue;
        whole.push_back(static_cast<std::uint8_t>(t.tableClass << 4 | t.slot));
        for (std::uint8_t count : t.counts) whole.push_back(count);
        for (std::uint8_t symbol : t.symbols) whole.push_back(symbol);
    }
    bytes::StoreBE(whole.data() + 2, whole.size() - 2, 2);
    return whole;
}

std::vector<std::uint8_t> JpegRewrite::Splice(const std::vector<Run>& runs, const std::vector<Output>& outputs) const {
    struct Piece {
        std::size_t offset;
        std::size_t size;
        std::span<const std::uint8_t> bytes;
    };
    std::vector<Piece> pieces;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        for (std::size_t s : runs[r].scans) {
            const JpegScan& old = layout_.scans[s];
            const JpegScan& fresh = outputs[r].layout.scans[s];
            pieces.push_back({old.dataOffset, old.dataSize,
                              std::span(outputs[r].file).subspan(fresh.dataOffset, fresh.dataSize)});
        }
    }
    std::vector<Bytes> tables;
    tables.reserve(layout_.segments.size());
    for (std::size_t g = 0; g < layout_.segments.size(); ++g) {
        if (layout_.segments[g].marker != kDht) continue;
        bool changed = false;
        for (std::size_t t = 0; t < final_.size(); ++t)
            changed = changed || (final_[t].segment == g && !SameCodes(final_[t], layout_.huffmanTables[t]));
        if (!changed) continue;
        tables.push_back(TableSegment(g));
        pieces.push_back({layout_.segments[g].offset, layout_.segments[g].size, tables.back()});
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.offset < b.offset; });
    Bytes out;
    std::size_t at = 0;
    for (const Piece& p : pieces) {
        out.insert(out.end(), file_.begin() + static_cast<std::ptrdiff_t>(at),
                   file_.begin() + static_cast<std::ptrdiff_t>(p.offset));
        out.insert(out.end(), p.bytes.begin(), p.bytes.end());
        at = p.offset + p.size;
    }
    out.insert(out.end(), file_.begin() + static_cast<std::ptrdiff_t>(at), file_.end());
    return out;
}

std::vector<std::uint8_t> JpegRewrite::Write() {
    if (!layout_.arithmetic) {
        bool optimal = layout_.progressive ||
                       std::any_of(layout_.huffmanTables.begin(), layout_.huffmanTables.end(),
                                   [](const JpegHuffmanTable& t) { return !t.CodesEverySymbol(); });
        if (optimal) {
            std::vector<Run> runs = Group(false);
            std::vector<Output> outputs = Code(runs, true);
            if (KeepOptimised(runs, outputs)) return Splice(runs, outputs);
        }
    }
    std::vector<Run> runs = Group(true);
    return Splice(runs, Code(runs, false));
}

}  // namespace velquist::jpeg
