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
    // Under Flash the program runs from the class's __init__, with its script: Haxe's
    // boot class would wait for a stage before calling main.
    static function __init__() {
        #if flash
        run();
        #end
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
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
