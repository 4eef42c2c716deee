// Objects made and dropped.
class Cell {
    public var value:Int;
    public var next:Cell;
    public function new(v:Int, n:Cell) {
        value = v;
        next = n;
    }
}

class Allocation {
    static function main() {
        var keep:Cell = null;
        var total = 0;
        for (i in 0...3000000) {
            var c = new Cell(i, null);
            total += c.value & 1;
            if (i % 1000 == 0)
                keep = new Cell(i, keep);
        }
        Out.line(total + " " + keep.value);
    }
}
