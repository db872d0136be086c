#include "calc/MergePairs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace stelmar {

namespace {

// Up to this many flows every pair is compared; beyond it the pairs that
// merge are found through the index below.
constexpr int kPairwiseLimit = 512;

// The labels of a pair that merges, in the order the pairs are taken.
void Join(std::vector<int>& label, int i, int j)
{
    if (label[j] == j)
        label[j] = label[i];
    else if (label[i] == i)
        label[i] = label[j];
}

// Bit k set where flow first + k (k < count ≤ 64) merges with the flow of
// times (ai, bi): one arrives no later and leaves no earlier than the other
// (false where a time is NaN). The comparisons are combined bitwise, so
// that they take no branch: most pairs do not merge, and a branch per pair
// would be mispredicted.
std::uint64_t MergingOneByOne(const double* a, const double* b, double ai, double bi, int first, int count)
{
    std::uint64_t merging = 0;
    for (int k = 0; k < count; ++k) {
        const double aj = a[first + k];
        const double bj = b[first + k];
        const bool merges = ((aj <= ai) & (bi <= bj)) | ((ai <= aj) & (bj <= bi));
        merging |= static_cast<std::uint64_t>(merges) << k;
    }
    return merging;
}

// For each i, the later flows that merge with it are marked, 64 to a word,
// then joined in ascending order.
template <auto Merging>
void MergeEveryPair(const std::vector<double>& a, const std::vector<double>& b, std::vector<int>& label, int n)
{
    for (int i = 1; i < n; ++i)
        for (int first = i + 1; first <= n; first += 64) {
            std::uint64_t merging = Merging(a.data(), b.data(), a[i], b[i], first, std::min(64, n + 1 - first));
            for (; merging != 0; merging &= merging - 1) Join(label, i, first + std::countr_zero(merging));
        }
}

#if defined(__x86_64__)
// As MergingOneByOne, four flows to one comparison (the last few one by one).
__attribute__((target("avx"))) std::uint64_t MergingByFour(const double* a, const double* b, double ai, double bi,
                                                           int first, int count)
{
    const __m256d ai4 = _mm256_set1_pd(ai);
    const __m256d bi4 = _mm256_set1_pd(bi);
    std::uint64_t merging = 0;
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m256d aj = _mm256_loadu_pd(a + first + k);
        const __m256d bj = _mm256_loadu_pd(b + first + k);
        const __m256d merges =
            _mm256_or_pd(_mm256_and_pd(_mm256_cmp_pd(aj, ai4, _CMP_LE_OQ), _mm256_cmp_pd(bi4, bj, _CMP_LE_OQ)),
                         _mm256_and_pd(_mm256_cmp_pd(ai4, aj, _CMP_LE_OQ), _mm256_cmp_pd(bj, bi4, _CMP_LE_OQ)));
        merging |= static_cast<std::uint64_t>(_mm256_movemask_pd(merges)) << k;
    }
    if (k < count) merging |= MergingOneByOne(a, b, ai, bi, first + k, count - k) << k;
    return merging;
}

__attribute__((target("avx"))) void MergeEveryPairByFour(const std::vector<double>& a, const std::vector<double>& b,
                                                         std::vector<int>& label, int n)
{
    MergeEveryPair<MergingByFour>(a, b, label, n);
}
#endif

void MergeEveryPair(const std::vector<double>& a, const std::vector<double>& b, std::vector<int>& label, int n)
{
#if defined(__x86_64__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) return MergeEveryPairByFour(a, b, label, n);
#endif
    MergeEveryPair<MergingOneByOne>(a, b, label, n);
}

// The flows not yet taken as the first of a pair, in order of arrival, in
// two segment trees holding the latest and the earliest leaving time of the
// flows below each node. The flows that merge with flow i are those that
// arrive no later and leave no earlier, and those that arrive no earlier
// and leave no later: a prefix and a suffix of the arrival order, searched
// only where the trees show a leaving time that qualifies. Flows with an
// undefined time merge with none and are left out.
class FlowIndex {
public:
    FlowIndex(const std::vector<double>& a, const std::vector<double>& b, int n) : a_(a), b_(b)
    {
        for (int j = 1; j <= n; ++j)
            if (!std::isnan(a[j]) && !std::isnan(b[j])) order_.push_back(j);
        std::stable_sort(order_.begin(), order_.end(), [&](int x, int y) { return a[x] < a[y]; });
        size_ = static_cast<int>(order_.size());
        rank_.assign(static_cast<std::size_t>(n) + 1, -1);
        sortedA_.resize(order_.size());
        for (int r = 0; r < size_; ++r) {
            rank_[order_[r]] = r;
            sortedA_[r] = a[order_[r]];
        }
        leaves_ = 1;
        while (leaves_ < std::max(size_, 1)) leaves_ *= 2;
        latest_.assign(2 * static_cast<std::size_t>(leaves_), -kInfinity);
        earliest_.assign(2 * static_cast<std::size_t>(leaves_), kInfinity);
        for (int r = 0; r < size_; ++r) latest_[leaves_ + r] = earliest_[leaves_ + r] = b[order_[r]];
        for (int k = leaves_ - 1; k >= 1; --k) Pull(k);
    }

    bool Holds(int j) const { return rank_[j] >= 0; }

    // Takes flow j out: it no longer counts as a later flow.
    void Remove(int j)
    {
        int k = leaves_ + rank_[j];
        latest_[k] = -kInfinity;
        earliest_[k] = kInfinity;
        for (k /= 2; k >= 1; k /= 2) Pull(k);
        rank_[j] = -1;
    }

    // The flows still held that merge with flow i, in ascending order.
    void MergingWith(int i, std::vector<int>& out)
    {
        out.clear();
        const double ai = a_[i];
        const double bi = b_[i];
        const int arrivedBy = static_cast<int>(std::upper_bound(sortedA_.begin(), sortedA_.end(), ai) - sortedA_.begin());
        const int arrivedFrom = static_cast<int>(std::lower_bound(sortedA_.begin(), sortedA_.end(), ai) - sortedA_.begin());
        LeavingNoEarlier(1, 0, leaves_, 0, arrivedBy, bi, out);
        LeavingNoLater(1, 0, leaves_, arrivedFrom, size_, bi, out);
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }

private:
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    void Pull(int k)
    {
        latest_[k] = std::max(latest_[2 * k], latest_[2 * k + 1]);
        earliest_[k] = std::min(earliest_[2 * k], earliest_[2 * k + 1]);
    }

    // Flows of ranks [from, to) under node k (covering [lo, hi)) leaving at
    // or after `time`.
    void LeavingNoEarlier(int k, int lo, int hi, int from, int to, double time, std::vector<int>& out) const
    {
        if (to <= lo || hi <= from || latest_[k] < time) return;
        if (hi - lo == 1) {
            const int j = order_[lo];
            if (rank_[j] >= 0 && b_[j] >= time) out.push_back(j);
            return;
        }
        const int mid = (lo + hi) / 2;
        LeavingNoEarlier(2 * k, lo, mid, from, to, time, out);
        LeavingNoEarlier(2 * k + 1, mid, hi, from, to, time, out);
    }

    void LeavingNoLater(int k, int lo, int hi, int from, int to, double time, std::vector<int>& out) const
    {
        if (to <= lo || hi <= from || earliest_[k] > time) return;
        if (hi - lo == 1) {
            const int j = order_[lo];
            if (rank_[j] >= 0 && b_[j] <= time) out.push_back(j);
            return;
        }
        const int mid = (lo + hi) / 2;
        LeavingNoLater(2 * k, lo, mid, from, to, time, out);
        LeavingNoLater(2 * k + 1, mid, hi, from, to, time, out);
    }

    const std::vector<double>& a_;
    const std::vector<double>& b_;
    std::vector<int> order_;  // flows in order of arrival
    std::vector<int> rank_;   // position of each flow in order_, -1 once taken out or left out
    std::vector<double> sortedA_;
    int size_ = 0;
    int leaves_ = 1;
    std::vector<double> latest_;
    std::vector<double> earliest_;
};

}  // namespace

void MergePairs(const std::vector<double>& arrival, const std::vector<double>& leaving, std::vector<int>& label)
{
    const int n = static_cast<int>(arrival.size()) - 1;
    label.resize(arrival.size());
    std::iota(label.begin(), label.end(), 0);
    if (n <= kPairwiseLimit) {
        MergeEveryPair(arrival, leaving, label, n);
        return;
    }
    FlowIndex index(arrival, leaving, n);
    std::vector<int> partners;
    for (int i = 1; i <= n; ++i) {
        if (!index.Holds(i)) continue;
        index.Remove(i);
        index.MergingWith(i, partners);
        for (const int j : partners) Join(label, i, j);
    }
}

}  // namespace stelmar
